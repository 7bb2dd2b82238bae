// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include <QLineEdit>

// A line editor for an address that may carry credentials: it shows them
// (base/Credentials.h) as password characters, while a never-shown shadow
// editor holds the real text and receives the same input.
class PasswdLineEdit : public QLineEdit
{
    Q_OBJECT

public:
    explicit PasswdLineEdit(QWidget* parent = nullptr);

    void setRealText(QString const& text);
    QString realText() const;

signals:
    void realTextChanged(QString const& text);

protected:
    bool event(QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

protected slots:
    // Rewrites the display from the real text.
    void showMasked(QString const& text);

private:
    QLineEdit* real = nullptr;
};
