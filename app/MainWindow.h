// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include "repo/YumRepoEnabled.h"
#include "yumio/History.h"

#include <QHash>
#include <QIcon>
#include <QList>
#include <QMainWindow>

class DialogCanceller;
class HMenu;
class HProgressBar;
class QAction;
class QCheckBox;
class QComboBox;
class QLineEdit;
class QPushButton;
class YumConfIO;
class YumIO;

namespace PackageTable {
class Model;
class StatusLine;
class View;
} // namespace PackageTable

namespace Log {
class Window;
}

namespace History {
class Window;
}

namespace Help {
class Window;
}

namespace RepoEditor {
class Dialog;
}

// The one top-level window. It owns the engine and the configuration reader
// and runs every command as a sequence of engine calls inside a busy frame.
class MainWindow : public QMainWindow
{
    Q_OBJECT

public:
    explicit MainWindow(QWidget* parent = nullptr);
    ~MainWindow() override;

    // Start-up settings, stored by main before the window is shown.
    bool startRepoEditor = false;
    bool startLog = false;
    QList<YumRepoEnabled> repoEnabledList;

    // True when the engine could not start: the program then ends with a
    // failure status.
    bool startFailed() const { return failedStart; }
    // True once the start has ended: the packages are collected and the
    // commands enabled (or the program is quitting).
    bool started() const { return startEnded; }

    YumIO* engine() const { return yumIO; }
    PackageTable::Model* packageModel() const { return model; }
    PackageTable::View* packageView() const { return view; }
    PackageTable::StatusLine* packageStatusLine() const { return statusLine; }
    QHash<QString, bool> const& sessionUseMap() const { return sessionUse; }

    void setVisible(bool visible) override;

    // The way out of a long wait (the window's close button, Quit, or a stop
    // signal): between commands the program quits; during one it stops the
    // operation (after asking, when ask) and quits once it has ended. Asked,
    // it is refused while a dialog is up: the operation waits for its answer.
    // A signal (not ask) answers every dialog, now and later, with Cancel.
    void stopAndQuit(bool ask);
    // The question asked there while rpm runs a transaction, which nothing
    // stops.
    static QString transactionRunningQuestion();
    QSize sizeHint() const override;

protected:
    void closeEvent(QCloseEvent* event) override;

public slots:
    void resize();
    void refresh();
    void apply();
    void reposChanged();
    // Undoes a transaction of the package manager's history, or every one
    // after it, as apply() applies the marks.
    void applyHistory(History::Operation operation, int id);

protected slots:
    void initialize();
    void yumConfIOChanged();
    void quit();
    void quitRequested();
    void displayLog();
    void displayHistory();
    void editRepositories(bool forceReposChanged);
    void editRepositories();
    void cleanHeaders();
    void cleanPackages();
    void cleanXmlMetadata();
    void cleanPickledCache();
    void cleanAll();
    void manualHtml();
    void manualPdf();
    void about();
    void filtersearch();
    void currentChanged(int currentRow, int previousRow);
    void stateChanged(int row);
    void stateChanged();
    void modeChanged(int index);
    void collectedExtraData();
    void stateFilterChanged(int index);
    void groupsFilterChanged(int checked);
    void setSelected();
    void setUpdateAll();
    void setSecurityUpdates();
    void clearActions();
    void ignoreCaseChanged(int checked);
    void exportMarks();
    void importMarks();
    // Forgets the remembered layout and shows the first run's.
    void resetLayout();

private:
    void buildMenus();
    void buildMainArea();
    void setReady(bool ready);
    // The table from the cache of the last collection, before the package
    // manager has loaded: true when it was valid and is shown.
    bool showCachedRows();
    void setLoading(bool loading);
    void storeRowCache();
    QByteArray rowCacheOptions() const;
    QStringList recollect(bool keepMarks = false);
    int markedCount() const;
    bool mayDropMarks();
    void showCleanReport(QStringList const& droppedMarks);
    bool checkCredentials();
    void resetModel();
    bool searching() const;
    void prepareFilterSearch();
    void showPatternState();
    void showModeTexts(int mode);
    void askProviders();
    // The layout remembered from the last run, or the first run's.
    void restoreLayout();
    void saveLayout();
    void runCacheCommand(bool (YumIO::*clean)(), bool recollectAfter);
    void quitWhenIdle();

    YumIO* yumIO = nullptr;
    YumConfIO* yumConfIO = nullptr;
    QHash<QString, bool> sessionUse;
    Log::Window* logWindow = nullptr;
    Help::Window* helpWindow = nullptr;
    History::Window* historyWindow = nullptr;
    RepoEditor::Dialog* repoEditor = nullptr;
    DialogCanceller* canceller = nullptr; // answers for no one after a stop signal
    bool failedStart = false;
    bool startEnded = false;
    bool loading = false; // the table shows the cache's rows (setLoading)
    // The session's use of the repositories as the configuration gave it at
    // the start: the rows of another choice are not cached.
    QHash<QString, bool> configuredUse;
    QList<QWidget*> engineWidgets; // the commands that need the package manager
    QString title;
    bool initializing = false;
    bool ready = false; // between commands, as setReady() left it
    bool quitting = false; // quit() is closing the window
    bool stopping = false; // the operation was asked to stop; quit when it ends
    bool layoutLoaded = false; // restoreLayout() ran: quitting saves the layout
    bool columnsRestored = false; // the column widths came from the last run
    QByteArray defaultHeader; // the table header's first-run state

    QIcon updateIcon;
    QIcon emptyIcon;
    QIcon checkIcon;

    HMenu* programMenu = nullptr;
    QAction* quitAction = nullptr;
    QAction* exportMarksAction = nullptr;
    QAction* importMarksAction = nullptr;
    HMenu* windowsMenu = nullptr;
    QAction* logAction = nullptr;
    QAction* historyAction = nullptr;
    QAction* resetLayoutAction = nullptr;
    HMenu* sortMenu = nullptr;
    HMenu* reposMenu = nullptr;
    QAction* editReposAction = nullptr;
    HMenu* cacheMenu = nullptr;
    QAction* cleanHeadersAction = nullptr;
    QAction* cleanPackagesAction = nullptr;
    QAction* cleanXmlMetadataAction = nullptr;
    QAction* cleanPickledCacheAction = nullptr;
    QAction* cleanAllAction = nullptr;
    HMenu* helpMenu = nullptr;

    QWidget* panel = nullptr;
    QComboBox* modeCombo = nullptr;
    QLineEdit* patternEdit = nullptr;
    QPushButton* goButton = nullptr;
    QComboBox* stateCombo = nullptr;
    QCheckBox* groupsCheck = nullptr;
    QCheckBox* ignoreCaseCheck = nullptr;
    QPushButton* describeButton = nullptr;
    QPushButton* applyButton = nullptr;
    PackageTable::StatusLine* statusLine = nullptr;
    PackageTable::Model* model = nullptr;
    PackageTable::View* view = nullptr;
    HProgressBar* upperBar = nullptr;
    HProgressBar* lowerBar = nullptr;
};
