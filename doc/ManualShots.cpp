// SPDX-License-Identifier: GPL-2.0-or-later
// Takes the screenshots of the user manual from the real windows: the main
// window on a root (after its start-up), the log window, the history
// window, the repository editor and its configuration dialog. Run by scripts/manual-screenshots.sh
// under Xvfb: manual-shots ROOT OUTDIR.

#include "app/HistoryWindow.h"
#include "app/MainWindow.h"
#include "base/Globals.h"
#include "base/InstallRoot.h"
#include "log/LogWindow.h"
#include "repo/RepoEditorConfigDialog.h"
#include "repo/RepoEditorDialog.h"
#include "repo/RepoEditorView.h"
#include "yumio/YumIO.h"

#include <QApplication>
#include <QDir>
#include <QImage>
#include <QPushButton>
#include <QTimer>
#include <QTreeWidget>

#include <cstdio>
#include <functional>

namespace {

QString outDir;
int failures = 0;

void save(QWidget* widget, char const* name)
{
    QApplication::processEvents();
    // 256 colours are plenty for a window and keep the files small.
    QImage const image = widget->grab().toImage().convertToFormat(
        QImage::Format_Indexed8, Qt::ThresholdDither | Qt::AvoidDither);
    QString const path = outDir + QLatin1Char('/') + QLatin1String(name);
    if (!image.save(path, "PNG", 9)) {
        std::fprintf(stderr, "manual-shots: cannot write %s\n", qPrintable(path));
        ++failures;
    }
}

// The top-level window of type T, or null (with a failure counted).
template <typename T> T* topLevel(char const* what)
{
    for (QWidget* top : QApplication::topLevelWidgets())
        if (auto* found = qobject_cast<T*>(top))
            return found;
    std::fprintf(stderr, "manual-shots: no %s\n", what);
    ++failures;
    return nullptr;
}

// Runs step as soon as a widget of type T is the active modal dialog.
template <typename T> void whenModal(std::function<void(T*)> step)
{
    auto* timer = new QTimer;
    QObject::connect(timer, &QTimer::timeout, [timer, step] {
        if (auto* dialog = qobject_cast<T*>(QApplication::activeModalWidget())) {
            timer->stop();
            timer->deleteLater();
            step(dialog);
        }
    });
    timer->start(100);
}

} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    if (argc != 3) {
        std::fprintf(stderr, "usage: manual-shots ROOT OUTDIR\n");
        return 2;
    }
    application = &app;
    program = "vux";
    InstallRoot::set(QString::fromLocal8Bit(argv[1]));
    outDir = QString::fromLocal8Bit(argv[2]);
    QDir().mkpath(outDir);

    MainWindow window;
    window.QWidget::resize(1000, 640);
    window.show();
    auto* started = new QTimer(&window);
    QObject::connect(started, &QTimer::timeout, [&] {
        QWidget* panel = window.findChild<QWidget*>(QStringLiteral("panel"));
        if (!panel || !panel->isVisible())
            return;
        started->stop();
        save(&window, "main-window.png");
        QMetaObject::invokeMethod(&window, "displayLog");
        if (auto* log = topLevel<Log::Window>("log window")) {
            log->resize(800, 420);
            save(log, "log-window.png");
            log->hide();
        }
        // A transaction of VUX's own at the top of the history: helix
        // installed, its confirmation accepted.
        if (Package::Entry* helix = window.engine()->findEntry(false, QStringLiteral("helix"))) {
            helix->action = Package::Install;
            QTimer confirmer;
            QObject::connect(&confirmer, &QTimer::timeout, [] {
                if (QWidget* dialog = QApplication::activeModalWidget())
                    if (auto* ok = dialog->findChild<QPushButton*>(QStringLiteral("okButton")))
                        ok->click();
            });
            confirmer.start(100);
            QMetaObject::invokeMethod(&window, "apply");
        }
        QMetaObject::invokeMethod(&window, "displayHistory");
        if (auto* history = topLevel<History::Window>("history window")) {
            history->resize(900, 460);
            // The newest transaction opened to its packages.
            auto* tree = history->findChild<QTreeWidget*>(QStringLiteral("historyTree"));
            if (tree && tree->topLevelItemCount() > 0)
                tree->topLevelItem(0)->setExpanded(true);
            save(history, "history-window.png");
            history->hide();
        }
        whenModal<RepoEditor::Dialog>([](RepoEditor::Dialog* editor) {
            editor->resize(640, 300);
            auto* view = editor->findChild<RepoEditor::View*>();
            view->setCurrentRow(0);
            save(editor, "repo-editor.png");
            whenModal<RepoEditor::ConfigDialog>([editor](RepoEditor::ConfigDialog* config) {
                save(config, "repo-config.png");
                config->reject();
                QTimer::singleShot(0, editor, [editor] {
                    editor->reject();
                    QTimer::singleShot(200, qApp, [] { QApplication::quit(); });
                });
            });
            QTimer::singleShot(0, editor, [editor] {
                editor
                    ->findChild<QPushButton*>(
                        QStringLiteral("editButton"), Qt::FindDirectChildrenOnly)
                    ->click();
            });
        });
        QMetaObject::invokeMethod(&window, "editRepositories", Qt::QueuedConnection);
    });
    started->start(200);
    app.exec();
    return failures == 0 && !window.startFailed() ? 0 : 1;
}
