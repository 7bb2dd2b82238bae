// SPDX-License-Identifier: GPL-2.0-or-later
#include "app/MainWindow.h"
#include "config-vux-tests.h"
#include "repo/RepoEditorContextMenu.h"
#include "repo/RepoEditorDialog.h"
#include "repo/RepoEditorModel.h"
#include "repo/RepoEditorView.h"
#include "repo/YumConfIO.h"
#include "support/ModalAnswerer.h"
#include "support/RecordingBrowser.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTextDocument>
#include <QtTest>

// The user manual covers what the windows show, and the Help menu opens it
// where the build installs it.
namespace {

// Every text a user reads on the widget's menus, buttons, labels, groups and
// choice boxes, without the '&' of keyboard accelerators.
QStringList visibleTexts(QWidget* top, bool directButtonsOnly)
{
    QStringList texts;
    auto const add = [&texts](QString text) {
        text.remove(QLatin1Char('&'));
        if (!text.trimmed().isEmpty())
            texts << text;
    };
    Qt::FindChildOptions const buttons
        = directButtonsOnly ? Qt::FindDirectChildrenOnly : Qt::FindChildrenRecursively;
    for (QPushButton* button : top->findChildren<QPushButton*>(QString(), buttons))
        add(button->text());
    for (QCheckBox* box : top->findChildren<QCheckBox*>())
        add(box->text());
    for (QGroupBox* group : top->findChildren<QGroupBox*>())
        add(group->title());
    for (QLabel* label : top->findChildren<QLabel*>()) {
        if (label->objectName() != QLatin1String("status"))
            add(label->text());
    }
    for (QComboBox* box : top->findChildren<QComboBox*>()) {
        for (int i = 0; i < box->count(); ++i)
            add(box->itemText(i));
    }
    for (QMenu* menu : top->findChildren<QMenu*>()) {
        add(menu->title());
        for (QAction* action : menu->actions())
            add(action->text());
    }
    return texts;
}

QString manualText()
{
    QFile file(QStringLiteral(VUX_SOURCE_DIR "/doc/manual/index.html"));
    if (!file.open(QIODevice::ReadOnly))
        return QString();
    QTextDocument document;
    document.setHtml(QString::fromUtf8(file.readAll()));
    return document.toPlainText().simplified();
}

} // namespace

class TestManual : public QObject
{
    Q_OBJECT

private slots:
    void coversEveryLabel();
    void imagesPresent();
    void helpMenuOpensInstalledManuals();
};

void TestManual::coversEveryLabel()
{
    QString const manual = manualText();
    QVERIFY(!manual.isEmpty());
    MainWindow window;
    QStringList texts = visibleTexts(&window, false);
    // The editor's dialogs, built as the window builds them.
    QList<YumRepoEnabled> const options;
    QHash<QString, bool> use;
    YumConfIO conf(options, use);
    RepoEditor::Dialog editor(nullptr, &conf, nullptr);
    texts << visibleTexts(&editor, false);
    auto* model = editor.findChild<RepoEditor::Model*>();
    for (int column = 0; column < model->columnCount(); ++column)
        texts << model->headerData(column, Qt::Horizontal).toString();
    for (QAction* action : editor.findChild<RepoEditor::View*>()->getContextMenu()->actions())
        texts << action->text();
    texts << editor.windowTitle();
    for (QDialog* dialog : editor.findChildren<QDialog*>())
        texts << dialog->windowTitle();
    QVERIFY(texts.contains("Manual (PDF)") && texts.contains("Browse Repository")
        && texts.contains("Check GPG Keys") && texts.contains("Perm"));
    QStringList missing;
    for (QString const& text : std::as_const(texts)) {
        if (!manual.contains(text.simplified()) && !missing.contains(text))
            missing << text;
    }
    QVERIFY2(missing.isEmpty(), qPrintable("not in the manual: " + missing.join(" | ")));
}

void TestManual::imagesPresent()
{
    QFile file(QStringLiteral(VUX_SOURCE_DIR "/doc/manual/index.html"));
    QVERIFY(file.open(QIODevice::ReadOnly));
    QString const html = QString::fromUtf8(file.readAll());
    QRegularExpressionMatchIterator images
        = QRegularExpression(QStringLiteral("<img src=\"([^\"]+)\"")).globalMatch(html);
    int count = 0;
    while (images.hasNext()) {
        QString const image = images.next().captured(1);
        QImage const picture(QStringLiteral(VUX_SOURCE_DIR "/doc/manual/") + image);
        QVERIFY2(!picture.isNull(), qPrintable(image));
        ++count;
    }
    QVERIFY(count >= 4);
}

// The viewers are outside programs of the share directory; stand-ins here
// record what they are given.
void TestManual::helpMenuOpensInstalledManuals()
{
    RecordingBrowser share;
    ModalAnswerer answerer;
    answerer.click(QStringLiteral("OK"));
    {
        MainWindow window;
        QVERIFY(QMetaObject::invokeMethod(&window, "manualHtml"));
        QVERIFY(QMetaObject::invokeMethod(&window, "manualPdf"));
        QVERIFY(QMetaObject::invokeMethod(&window, "about"));
    }
    QString const docDir = QRegularExpression::escape("/share/doc/vux-" VUX_VERSION);
    QString const html = share.browsed(1).value(0);
    QVERIFY2(QRegularExpression("^1:/.*" + docDir + "/html/index\\.html$").match(html).hasMatch(),
        qPrintable(html));
    QString const pdf = share.browsed(1, "mimeviewer").value(0);
    QVERIFY2(QRegularExpression("^2:application/pdf /.*" + docDir + "/manual\\.pdf$")
                 .match(pdf)
                 .hasMatch(),
        qPrintable(pdf));
    QCOMPARE(answerer.titles(), QStringList("About"));
    QVERIFY(answerer.texts().value(0).contains("VUX " VUX_VERSION));
    QVERIFY(answerer.texts().value(0).contains(VUX_HOMEPAGE));
}

QTEST_MAIN(TestManual)
#include "TestManual.moc"
