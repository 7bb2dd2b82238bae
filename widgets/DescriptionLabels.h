// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include <QString>

class QLabel;
class QVBoxLayout;
class QWidget;

// The labels of the description dialogs.
namespace DescriptionLabels {

// The value of a "Key: value" row: plain text (a URL or a package
// description is never read as markup), selectable for copying, reached by
// Tab, and described to assistive technology by its key.
QLabel* value(QString const& text, QString const& key, QWidget* parent);

// A heading in the header font, plain text.
QLabel* header(QString const& text, QWidget* parent);

// A heading centred on top of layout, with a rule below it.
QLabel* addTitle(QVBoxLayout* layout, QString const& text, QWidget* parent);

} // namespace DescriptionLabels
