// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include <QWidget>

class QLabel;
class QPushButton;
class QTextBrowser;
class QUrl;

namespace Help {

// The "VUX Manual" window: the installed HTML manual with its pictures,
// rendered inside the program, so that help works as root, offline and
// without a desktop browser. Links inside the manual are followed here;
// links to the web (and mail addresses) go to the desktop's browser through
// the share directory's webbrowser, which runs it as the invoking user.
class Window : public QWidget
{
    Q_OBJECT

public:
    explicit Window(QWidget* parent = nullptr);

    // The manual's file: html/index.html in the documentation directory.
    static QString manualFile();
    // Shows the window on the manual's first page (or on why it is missing).
    void showManual();

public slots:
    void follow(QUrl const& url);

private:
    void pointAt(QUrl const& url);
    void sourceChanged();

    QTextBrowser* browser = nullptr;
    QLabel* status = nullptr;
    QPushButton* backButton = nullptr;
    QPushButton* forwardButton = nullptr;
    QPushButton* homeButton = nullptr;
};

} // namespace Help
