#include "app/MainWindow.h"
#include "config-vux-tests.h"
#include "repo/RepoEditorContextMenu.h"
#include "repo/RepoEditorDialog.h"
#include "repo/RepoEditorModel.h"
#include "repo/RepoEditorView.h"
#include "repo/YumConfIO.h"
#include "support/ModalAnswerer.h"

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
    QTemporaryDir share;
    QByteArray const savedShare = qgetenv("VUXSHARE");
    qputenv("VUXSHARE", QFile::encodeName(share.path()));
    for (char const* viewer : {"webbrowser", "mimeviewer"}) {
        QFile script(share.filePath(viewer));
        QVERIFY(script.open(QIODevice::WriteOnly));
        script.write("#!/bin/sh\necho \"$0 $*\" >> \"${0%/*}/opened\"\n");
        script.close();
        script.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }
    ModalAnswerer answerer;
    answerer.click(QStringLiteral("OK"));
    {
        MainWindow window;
        QVERIFY(QMetaObject::invokeMethod(&window, "manualHtml"));
        QVERIFY(QMetaObject::invokeMethod(&window, "manualPdf"));
        QVERIFY(QMetaObject::invokeMethod(&window, "about"));
    }
    qputenv("VUXSHARE", savedShare);
    QFile opened(share.filePath("opened"));
    QVERIFY(QTest::qWaitFor(
        [&] { return opened.open(QIODevice::ReadOnly) && opened.readAll().count('\n') == 2; }));
    opened.close();
    QVERIFY(opened.open(QIODevice::ReadOnly));
    QStringList lines = QString::fromLocal8Bit(opened.readAll()).split('\n', Qt::SkipEmptyParts);
    lines.sort();
    QString const docDir = "/share/doc/vux-" VUX_VERSION;
    QVERIFY2(
        QRegularExpression("^" + QRegularExpression::escape(share.filePath("mimeviewer"))
            + " application/pdf /.*" + QRegularExpression::escape(docDir + "/manual.pdf") + "$")
            .match(lines.value(0))
            .hasMatch(),
        qPrintable(lines.value(0)));
    QVERIFY2(QRegularExpression("^" + QRegularExpression::escape(share.filePath("webbrowser"))
                 + " /.*" + QRegularExpression::escape(docDir + "/html/index.html") + "$")
                 .match(lines.value(1))
                 .hasMatch(),
        qPrintable(lines.value(1)));
    QCOMPARE(answerer.titles(), QStringList("About"));
    QVERIFY(answerer.texts().value(0).contains("VUX " VUX_VERSION));
}

QTEST_MAIN(TestManual)
#include "TestManual.moc"
