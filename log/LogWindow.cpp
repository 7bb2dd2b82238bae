// SPDX-License-Identifier: GPL-2.0-or-later
#include "log/LogWindow.h"

#include "base/Colors.h"
#include "widgets/EscapeHides.h"
#include "widgets/HTextEdit.h"

#include <QDateTime>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QMutexLocker>
#include <QPushButton>
#include <QScrollBar>
#include <QSpinBox>
#include <QVBoxLayout>

using namespace Log;

Window::Window(EntryList& entries, QWidget*)
    : QWidget(nullptr)
    , entries(entries)
{
    setWindowTitle(tr("VUX Log"));
    auto* layout = new QVBoxLayout(this);

    textEdit = new HTextEdit(100, 24, this);
    textEdit->setObjectName(QStringLiteral("logText"));
    textEdit->setViewer();
    layout->addWidget(textEdit);

    auto* row = new QHBoxLayout;
    row->addWidget(new QLabel(tr("Detail level"), this));
    levelBox = new QSpinBox(this);
    levelBox->setObjectName(QStringLiteral("levelBox"));
    levelBox->setRange(0, maxLevel);
    levelBox->setValue(defaultLevel);
    levelBox->setToolTip(
        tr("Threshold beyond which more detailed log messages are omitted.\nHigher levels show "
           "more detail.\nThe valid range is 0 .. %1.\nThe default is %2.\nHigher levels contain "
           "debug information.\nThis corresponds to yum's debuglevel (-d) option.")
            .arg(maxLevel)
            .arg(defaultLevel));
    row->addWidget(levelBox);
    row->addStretch();
    auto* close = new QPushButton(tr("&Close"), this);
    close->setObjectName(QStringLiteral("closeButton"));
    close->setToolTip(tr("Close the Log Window"));
    row->addWidget(close);
    layout->addLayout(row);

    connect(close, &QPushButton::clicked, this, &QWidget::hide);
    connect(levelBox, &QSpinBox::valueChanged, this, &Window::levelChanged);
}

void Window::htmlProtect(QString& text)
{
    text.replace(QLatin1Char('<'), QLatin1String("&lt;"));
    text.replace(QLatin1Char('>'), QLatin1String("&gt;"));
    text.replace(QLatin1Char(' '), QLatin1String("&#x0020;"));
    text.replace(QLatin1Char('\t'), QLatin1String("&#x0009;"));
}

QString Window::render(Entry const& entry)
{
    QString text = entry.text;
    htmlProtect(text);
    // Qt 6 collapses blanks even when they come as character references;
    // preformatted white space keeps runs of blanks and tabs.
    text = QLatin1String("<span style=\"white-space:pre\">") + text + QLatin1String("</span>");
    // Each entry shows the local time it was logged, in the minor colour.
    QString const time
        = QDateTime::fromMSecsSinceEpoch(entry.when).toString(QStringLiteral("HH:mm:ss"));
    text = tr("<font color=\"%1\">%2</font> ").arg(Colors::minor(), time) + text;
    switch (entry.kind) {
    case Message:
        if (entry.level <= 9)
            return tr("<font>") + text + tr("</font>");
        return tr("<font color=\"%1\">").arg(Colors::minor()) + text + tr("</font>");
    case Output:
        return tr("<font color=\"%1\">").arg(Colors::ok()) + text + tr("</font>");
    case Warning:
        return tr("<font color=\"%1\">").arg(Colors::warning()) + text + tr("</font>");
    case Heading:
        return tr("<h2><font color=\"%1\">").arg(Colors::action()) + text + tr("</font></h2>");
    case Error:
    default:
        return tr("<font color=\"%1\">").arg(Colors::error()) + text + tr("</font>");
    }
}

void Window::appended()
{
    // Announcements queued before the window was hidden still arrive.
    if (!following)
        return;
    // No events are processed here: this runs inside whoever appended (the
    // reader of a package script's output, for one), and what an event
    // handler did there could come back into that reader. The text is
    // painted when the event loop next runs.
    QMutexLocker locker(&entries);
    if (entries.size() > shownCount) {
        unsigned const level = unsigned(levelBox->value());
        for (qsizetype i = shownCount; i < entries.size(); ++i) {
            Entry const& entry = entries.at(i);
            if (entry.level <= level)
                textEdit->appendCompact(render(entry));
        }
        shownCount = int(entries.size());
    }
}

void Window::levelChanged(int)
{
    clearDisplay();
    appended();
}

void Window::clearDisplay()
{
    textEdit->clear();
    shownCount = 0;
}

void Window::setVisible(bool visible)
{
    if (visible && !isVisible()) {
        {
            // Connected before the first rendering: an entry appended
            // meanwhile is either rendered below or announced afterwards.
            QMutexLocker locker(&entries);
            connect(&entries, &EntryList::appended, this, &Window::appended, Qt::UniqueConnection);
            following = true;
        }
        clearDisplay();
        appended();
        textEdit->verticalScrollBar()->setValue(textEdit->verticalScrollBar()->maximum());
        QWidget::setVisible(true);
    } else if (!visible && isVisible()) {
        QWidget::setVisible(false);
        {
            QMutexLocker locker(&entries);
            disconnect(&entries, &EntryList::appended, this, &Window::appended);
            following = false;
        }
        clearDisplay();
    } else {
        QWidget::setVisible(visible);
    }
}

void Window::keyPressEvent(QKeyEvent* event)
{
    if (!escapeHides(this, event))
        QWidget::keyPressEvent(event);
}

#include "moc_LogWindow.cpp"
