#pragma once

#include <QString>

class QLabel;
class QWidget;

namespace ValueLabel {

// The value of a "Key: value" row in a description: plain text (a URL or a
// package description is never read as markup), selectable for copying,
// reached by Tab, and described to assistive technology by its key.
QLabel* make(QString const& text, QString const& key, QWidget* parent);

} // namespace ValueLabel
