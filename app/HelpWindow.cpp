// SPDX-License-Identifier: GPL-2.0-or-later
#include "app/HelpWindow.h"

#include "base/Execute.h"
#include "base/Share.h"
#include "widgets/ScreenBound.h"

#include <QFileInfo>
#include <QHBoxLayout>
#include <QImage>
#include <QKeySequence>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QShortcut>
#include <QTextBrowser>
#include <QUrl>
#include <QVBoxLayout>

namespace Help {

namespace {

// Pictures wider than the page are scaled down to its width, as a web
// browser shows the manual (its style sheet's max-width, which the toolkit
// does not read); a picture keeps the size it got when it was first shown.
class Browser : public QTextBrowser
{
public:
    using QTextBrowser::QTextBrowser;

    QVariant loadResource(int type, QUrl const& name) override
    {
        QVariant const resource = QTextBrowser::loadResource(type, name);
        if (type != QTextDocument::ImageResource)
            return resource;
        QImage const image = resource.typeId() == QMetaType::QByteArray
            ? QImage::fromData(resource.toByteArray())
            : resource.value<QImage>();
        // The page's own margins: the document's, and the manual's body.
        int const width = viewport()->width() - 2 * int(document()->documentMargin())
            - 6 * fontMetrics().height();
        if (image.isNull() || width <= 0 || image.width() <= width)
            return resource;
        return image.scaledToWidth(width, Qt::SmoothTransformation);
    }
};

QPushButton* button(QString const& text, char const* objectName, QKeySequence const& key,
    QString const& toolTip, QWidget* parent)
{
    auto* button = new QPushButton(text, parent);
    button->setObjectName(QLatin1String(objectName));
    button->setToolTip(toolTip);
    // A key of its own beside the mnemonic, as in a web browser.
    if (!key.isEmpty())
        QObject::connect(
            new QShortcut(key, parent), &QShortcut::activated, button, &QPushButton::click);
    return button;
}

} // namespace

Window::Window(QWidget* parent)
    : QWidget(parent, Qt::Window)
{
    setObjectName(QStringLiteral("helpWindow"));
    setWindowTitle(tr("VUX Manual"));
    auto* layout = new QVBoxLayout(this);

    auto* row = new QHBoxLayout;
    backButton = button(tr("&Back"), "backButton", QKeySequence::Back,
        tr("Back to the page shown before (Alt+Left)"), this);
    forwardButton = button(tr("&Forward"), "forwardButton", QKeySequence::Forward,
        tr("Forward to the page left with Back (Alt+Right)"), this);
    homeButton = button(
        tr("&Home"), "homeButton", QKeySequence(), tr("Back to the beginning of the manual"), this);
    auto* closeButton = button(tr("&Close"), "closeButton", QKeySequence(Qt::Key_Escape),
        tr("Close the manual (Escape)"), this);
    row->addWidget(backButton);
    row->addWidget(forwardButton);
    row->addWidget(homeButton);
    row->addStretch(1);
    row->addWidget(closeButton);
    layout->addLayout(row);

    browser = new Browser(this);
    browser->setObjectName(QStringLiteral("manual"));
    browser->setAccessibleName(tr("Manual"));
    // Links are followed here (follow()): web links never load into the
    // window, and nothing is handed to the desktop without the check.
    browser->setOpenLinks(false);
    browser->setOpenExternalLinks(false);
    layout->addWidget(browser, 1);

    status = new QLabel(this);
    status->setObjectName(QStringLiteral("status"));
    status->setAccessibleName(tr("Link"));
    status->setTextInteractionFlags(Qt::TextSelectableByMouse);
    layout->addWidget(status);

    backButton->setEnabled(false);
    forwardButton->setEnabled(false);
    connect(backButton, &QPushButton::clicked, browser, &QTextBrowser::backward);
    connect(forwardButton, &QPushButton::clicked, browser, &QTextBrowser::forward);
    connect(homeButton, &QPushButton::clicked, browser, &QTextBrowser::home);
    connect(closeButton, &QPushButton::clicked, this, &Window::close);
    connect(browser, &QTextBrowser::backwardAvailable, backButton, &QPushButton::setEnabled);
    connect(browser, &QTextBrowser::forwardAvailable, forwardButton, &QPushButton::setEnabled);
    connect(browser, &QTextBrowser::anchorClicked, this, &Window::follow);
    connect(browser, qOverload<QUrl const&>(&QTextBrowser::highlighted), this, &Window::pointAt);
    connect(browser, &QTextBrowser::sourceChanged, this, &Window::sourceChanged);

    QFontMetrics const metrics(browser->font());
    resize(ScreenBound::bound(this,
        QSize(metrics.horizontalAdvance(QLatin1Char('n')) * 120, metrics.lineSpacing() * 48)));
}

QString Window::manualFile()
{
    return Share::documentDirectory() + QStringLiteral("/html/index.html");
}

void Window::showManual()
{
    // Shown first, so that the page has its width when its pictures are
    // laid out.
    show();
    layout()->activate();
    QString const file = manualFile();
    if (QFileInfo(file).isFile()) {
        // Shown again, the window stays where the reader left it.
        if (browser->source().toLocalFile() != file)
            browser->setSource(QUrl::fromLocalFile(file));
        browser->setFocus();
    } else {
        // Said in the window itself, where the reader looks for the manual.
        browser->setSource(QUrl());
        browser->setHtml(QStringLiteral("<h1>%1</h1><p>%2</p>")
                             .arg(tr("The manual is not installed").toHtmlEscaped(),
                                 tr("There is no file %1. The manual is installed with the "
                                    "program; the environment variable VUXDOC names the "
                                    "directory that holds html/index.html when it is "
                                    "elsewhere.")
                                     .arg(file)
                                     .toHtmlEscaped()));
        setWindowTitle(tr("VUX Manual"));
    }
    raise();
    activateWindow();
}

void Window::follow(QUrl const& url)
{
    QString const scheme = url.scheme().toLower();
    if (scheme == QLatin1String("http") || scheme == QLatin1String("https")
        || scheme == QLatin1String("mailto") || scheme == QLatin1String("ftp")) {
        QString const refusal
            = Execute::open(this, QStringLiteral("webbrowser"), {url.toString(QUrl::FullyEncoded)});
        if (refusal.isEmpty()) {
            status->setText(tr("Handed to the web browser: %1").arg(url.toString()));
            return;
        }
        QMessageBox box(QMessageBox::Warning, tr("VUX Manual"),
            tr("The link cannot be opened in a web browser:\n%1\n\nThe link: %2")
                .arg(refusal, url.toString()),
            QMessageBox::Ok, this);
        box.setTextInteractionFlags(Qt::TextSelectableByMouse);
        box.exec();
        return;
    }
    if (url.isLocalFile() && QFileInfo(url.toLocalFile()).isFile()) {
        browser->setSource(url);
        return;
    }
    QMessageBox::warning(this, tr("VUX Manual"), tr("Cannot show %1").arg(url.toString()));
}

void Window::pointAt(QUrl const& url)
{
    status->setText(url.isEmpty() ? QString() : url.toString());
}

void Window::sourceChanged()
{
    QString const title = browser->documentTitle();
    setWindowTitle(title.isEmpty() ? tr("VUX Manual") : title);
    status->clear();
}

} // namespace Help

#include "moc_HelpWindow.cpp"
