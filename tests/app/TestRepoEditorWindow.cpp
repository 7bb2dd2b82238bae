// SPDX-License-Identifier: GPL-2.0-or-later
#include "python/PythonHeaders.h"

#include "StartupSupport.h"

#include "repo/RepoEditorConfigDialog.h"
#include "repo/RepoEditorDialog.h"
#include "repo/RepoEditorView.h"
#include "support/EngineFixture.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>

#include "widgets/PasswdTextEdit.h"

using namespace StartupSupport;

// The repository editor in the real window on a root served over HTTP: a
// repository added in the editor is collected, and one disabled there is
// disabled for dnf too.
namespace {

// Presses a button of the editor itself (its configuration dialog, a child,
// has buttons of the same names) once the answering handler has returned, so
// that a dialog it opens can be answered in turn.
void press(QWidget* editor, char const* button)
{
    QMetaObject::invokeMethod(editor->findChild<QPushButton*>(button, Qt::FindDirectChildrenOnly),
        "click", Qt::QueuedConnection);
}

} // namespace

class TestRepoEditorWindow : public QObject
{
    Q_OBJECT

private slots:
    void addEnableCollectThenDisable();
};

void TestRepoEditorWindow::addEnableCollectThenDisable()
{
    Root root;
    QString error;
    QVERIFY2(root.make(&error, {"--repos", "base"}), qPrintable(error));

    ModalAnswerer answerer;
    // Started with -r: the editor comes first; Add a repository there.
    answerer.answer([](QWidget* editor) { press(editor, "addButton"); });
    QString const url = root.server.url() + "/updates/";
    answerer.answer([url](QWidget* config) {
        config->findChild<QLineEdit*>("identifier")->setText("updates");
        config->findChild<QLineEdit*>("name")->setText("Sandbox updates");
        config->findChild<PasswdTextEdit*>("urls")->setRealPlainText(url);
        config->findChild<QComboBox*>("gpgcheck")->setCurrentIndex(0);
        ModalAnswerer::clickButton(config, "okButton");
    });
    answerer.answer([](QWidget* editor) { press(editor, "okButton"); });
    MainWindow window;
    window.startRepoEditor = true;
    QVERIFY(start(window));
    QString const editorTitle = window.findChild<RepoEditor::Dialog*>()->windowTitle();
    QCOMPARE(answerer.titles(),
        QStringList({editorTitle, window.findChild<RepoEditor::ConfigDialog*>()->windowTitle(),
            editorTitle}));
    QVERIFY(panel(window)->isVisible());
    // Used in this session by its Enabled default, and collected.
    QCOMPARE(window.sessionUseMap().value("updates"), true);
    QVERIFY(window.engine()->findEntry(false, QStringLiteral("helix")));
    QByteArray const written = [&] {
        QFile file(root.file("/etc/yum.repos.d/updates.repo"));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }();
    QCOMPARE(
        written, "[updates]\nname=Sandbox updates\nbaseurl=" + url.toLatin1() + "\ngpgcheck=0\n");

    // Switched off for good with Perm, applied, closed: dnf reads it so. (A
    // new answerer: the first one does not answer the same dialog twice.)
    ModalAnswerer second;
    second.answer([](QWidget* editor) {
        auto* view = editor->findChild<RepoEditor::View*>();
        for (int row = 0; row < view->model()->rowCount(); ++row) {
            QModelIndex const id = view->model()->index(row, 2);
            if (id.data().toString() == "updates") {
                QRect const cell = view->visualRect(view->model()->index(row, 1));
                QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, cell.center());
            }
        }
        press(editor, "applyButton");
        press(editor, "cancelButton");
    });
    QVERIFY(QMetaObject::invokeMethod(&window, "editRepositories", Qt::QueuedConnection));
    QVERIFY(QTest::qWaitFor(
        [&] { return second.answered() == 1 && !QApplication::activeModalWidget(); }, 300000));
    QFile file(root.file("/etc/yum.repos.d/updates.repo"));
    QVERIFY(file.open(QIODevice::ReadOnly));
    QVERIFY(file.readAll().contains("\nenabled=0\n"));
    QString const repolist = EngineFixture::dnf(root.file(), {"repolist", "--all"});
    QVERIFY2(repolist.contains(QRegularExpression("\\nupdates +Sandbox updates +disabled")),
        qPrintable(repolist));
    QVERIFY2(repolist.contains(QRegularExpression("\\nbase .* enabled")), qPrintable(repolist));
    QVERIFY(QMetaObject::invokeMethod(&window, "quit"));
}

QTEST_MAIN(TestRepoEditorWindow)
#include "TestRepoEditorWindow.moc"
