// SPDX-License-Identifier: GPL-2.0-or-later
#include "python/PythonHeaders.h"

#include "app/MainWindow.h"

#include "app/HelpWindow.h"
#include "app/HistoryWindow.h"
#include "app/WindowSettings.h"
#include "base/Colors.h"
#include "base/Execute.h"
#include "base/InstallRoot.h"
#include "base/Share.h"
#include "log/LogWindow.h"
#include "packagetable/PackageTableMarks.h"
#include "packagetable/PackageTableModel.h"
#include "packagetable/PackageTableSortFilterProxyModel.h"
#include "packagetable/PackageTableStatusLine.h"
#include "packagetable/PackageTableView.h"
#include "python/Python.h"
#include "repo/RepoAuthChecker.h"
#include "repo/RepoEditorDialog.h"
#include "repo/YumConfIO.h"
#include "widgets/DialogCanceller.h"
#include "widgets/HMenu.h"
#include "widgets/HProgressBar.h"
#include "yumio/RowCache.h"
#include "yumio/YumIO.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLineEdit>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QStatusBar>
#include <QThread>
#include <QTimer>
#include <QVBoxLayout>

#include <sys/utsname.h>

namespace {

// A question whose Yes goes ahead; No, the default, and Escape keep things
// as they are.
bool confirmed(QWidget* parent, QString const& question)
{
    QMessageBox box(
        QMessageBox::Question, MainWindow::tr("VUX"), question, QMessageBox::NoButton, parent);
    box.addButton(QMessageBox::Yes)->setObjectName(QStringLiteral("yesButton"));
    box.setDefaultButton(box.addButton(QMessageBox::No));
    box.defaultButton()->setObjectName(QStringLiteral("noButton"));
    return box.exec() == QMessageBox::Yes;
}

QString nodeName()
{
    struct utsname names;
    if (uname(&names) != 0)
        return QString();
    return QString::fromLocal8Bit(names.nodename);
}

} // namespace

MainWindow::MainWindow(QWidget* parent)
    : QMainWindow(parent)
    , updateIcon(Share::absolute(QStringLiteral("icons/update.png")))
    , checkIcon(Share::absolute(QStringLiteral("icons/check.png")))
{
    title = tr("VUX - %1").arg(nodeName());
    setWindowTitle(title);
    buildMenus();
    buildMainArea();
}

MainWindow::~MainWindow()
{
    // The log and history windows are top-level windows of their own: they
    // are ours to delete, and before the engine they read.
    delete logWindow;
    delete historyWindow;
    delete yumIO;
    delete yumConfIO;
}

void MainWindow::buildMenus()
{
    programMenu = new HMenu(tr("&Program"), menuBar());
    exportMarksAction
        = programMenu->addAction(tr("&Export Marks..."), this, &MainWindow::exportMarks);
    exportMarksAction->setObjectName(QStringLiteral("exportMarksAction"));
    exportMarksAction->setToolTip(
        tr("Write the marked actions to a text file, to mark them again here or elsewhere"));
    importMarksAction
        = programMenu->addAction(tr("&Import Marks..."), this, &MainWindow::importMarks);
    importMarksAction->setObjectName(QStringLiteral("importMarksAction"));
    importMarksAction->setToolTip(tr("Mark the actions a file of marks names"));
    programMenu->addSeparator();
    quitAction = programMenu->addAction(tr("&Quit"), this, &MainWindow::quitRequested);
    quitAction->setShortcut(QKeySequence(tr("Ctrl+Q")));
    quitAction->setObjectName(QStringLiteral("quitAction"));
    menuBar()->addMenu(programMenu);

    windowsMenu = new HMenu(tr("&Windows"), menuBar());
    logAction = windowsMenu->addAction(tr("&Log"), this, &MainWindow::displayLog);
    logAction->setShortcut(QKeySequence(tr("Ctrl+L")));
    historyAction = windowsMenu->addAction(tr("&History"), this, &MainWindow::displayHistory);
    historyAction->setObjectName(QStringLiteral("historyAction"));
    historyAction->setShortcut(QKeySequence(tr("Ctrl+H")));
    historyAction->setToolTip(tr("The package manager's transactions, with Undo and Roll Back"));
    resetLayoutAction = windowsMenu->addAction(tr("&Reset Layout"), this, &MainWindow::resetLayout);
    resetLayoutAction->setObjectName(QStringLiteral("resetLayoutAction"));
    resetLayoutAction->setToolTip(
        tr("Forget the remembered window size, view, sort order and column widths"));
    menuBar()->addMenu(windowsMenu);

    reposMenu = new HMenu(tr("&Repositories"), menuBar());
    editReposAction = reposMenu->addAction(
        tr("&Edit Configuration"), this, qOverload<>(&MainWindow::editRepositories));
    editReposAction->setShortcut(QKeySequence(tr("Ctrl+E")));
    menuBar()->addMenu(reposMenu);

    cacheMenu = new HMenu(tr("&Cache"), menuBar());
    cleanHeadersAction = cacheMenu->addAction(tr("Clean Headers"), this, &MainWindow::cleanHeaders);
    cleanPackagesAction
        = cacheMenu->addAction(tr("Clean Packages"), this, &MainWindow::cleanPackages);
    cleanXmlMetadataAction
        = cacheMenu->addAction(tr("Clean XML Metadata"), this, &MainWindow::cleanXmlMetadata);
    cleanPickledCacheAction
        = cacheMenu->addAction(tr("Clean Pickled Data"), this, &MainWindow::cleanPickledCache);
    cleanPickledCacheAction->setObjectName(QStringLiteral("cleanPickledCacheAction"));
    cacheMenu->addSeparator();
    cleanAllAction = cacheMenu->addAction(tr("Clean All"), this, &MainWindow::cleanAll);
    cleanAllAction->setObjectName(QStringLiteral("cleanAllAction"));
    menuBar()->addMenu(cacheMenu);

    helpMenu = new HMenu(tr("&Help"), menuBar());
    QAction* html = helpMenu->addAction(tr("Manual (html)"), this, &MainWindow::manualHtml);
    html->setShortcut(QKeySequence(Qt::Key_F1));
    helpMenu->addAction(tr("Manual (PDF)"), this, &MainWindow::manualPdf);
    helpMenu->addSeparator();
    helpMenu->addAction(tr("&About"), this, &MainWindow::about);
    menuBar()->addMenu(helpMenu);
}

void MainWindow::buildMainArea()
{
    auto* central = new QWidget(this);
    auto* layout = new QVBoxLayout(central);

    panel = new QWidget(central);
    panel->setObjectName(QStringLiteral("panel"));
    auto* panelLayout = new QVBoxLayout(panel);
    panelLayout->setContentsMargins(0, 0, 0, 0);

    auto* filterBar = new QHBoxLayout;
    modeCombo = new QComboBox(panel);
    modeCombo->addItem(tr("Filter"), 0);
    modeCombo->addItem(tr("Search"), 1);
    modeCombo->addItem(tr("What Provides"), 2);
    patternEdit = new QLineEdit(QStringLiteral(".*"), panel);
    goButton = new QPushButton(panel);
    goButton->setDefault(true);
    stateCombo = new QComboBox(panel);
    stateCombo->addItem(tr("View Updatable"), 0);
    stateCombo->addItem(tr("View Installable"), 1);
    stateCombo->addItem(tr("View Removable"), 2);
    stateCombo->addItem(tr("View All"), 3);
    stateCombo->addItem(tr("View Security Updates"), 4);
    stateCombo->setCurrentIndex(0);
    stateCombo->setToolTip(tr("Filter for those packages which are eligible for updating,\nfor "
                              "installing, or for removing; or show all packages;\nor the "
                              "updates that have a security advisory"));
    groupsCheck = new QCheckBox(tr("Include Groups"), panel);
    groupsCheck->setToolTip(tr("Whether or not filter should include package groups"));
    ignoreCaseCheck = new QCheckBox(tr("Ign&ore Case"), panel);
    ignoreCaseCheck->setObjectName(QStringLiteral("ignoreCaseCheck"));
    ignoreCaseCheck->setToolTip(
        tr("Whether Filter and Search match letters regardless of their case"));
    modeCombo->setObjectName(QStringLiteral("modeCombo"));
    modeCombo->setAccessibleName(tr("Pattern use"));
    patternEdit->setObjectName(QStringLiteral("patternEdit"));
    patternEdit->setAccessibleName(tr("Pattern"));
    goButton->setObjectName(QStringLiteral("goButton"));
    stateCombo->setObjectName(QStringLiteral("stateCombo"));
    stateCombo->setAccessibleName(tr("Packages shown"));
    groupsCheck->setObjectName(QStringLiteral("groupsCheck"));
    filterBar->addWidget(modeCombo);
    filterBar->addWidget(patternEdit, 1);
    filterBar->addWidget(goButton);
    filterBar->addWidget(stateCombo);
    filterBar->addWidget(groupsCheck);
    filterBar->addWidget(ignoreCaseCheck);
    panelLayout->addLayout(filterBar);
    connect(
        modeCombo, qOverload<int>(&QComboBox::currentIndexChanged), this, &MainWindow::modeChanged);
    connect(patternEdit, &QLineEdit::returnPressed, this, &MainWindow::filtersearch);
    connect(goButton, &QPushButton::clicked, this, &MainWindow::filtersearch);
    connect(stateCombo, qOverload<int>(&QComboBox::currentIndexChanged), this,
        &MainWindow::stateFilterChanged);
    connect(groupsCheck, &QCheckBox::stateChanged, this, &MainWindow::groupsFilterChanged);
    connect(ignoreCaseCheck, &QCheckBox::stateChanged, this, &MainWindow::ignoreCaseChanged);

    yumIO = new YumIO;
    connect(yumIO, &YumIO::collectedExtraData, this, &MainWindow::collectedExtraData);

    model = new PackageTable::Model(yumIO, panel);
    view = new PackageTable::View(model, PackageTable::ViewUpdatable, false, yumIO, panel);
    panelLayout->addWidget(view, 1);
    connect(view, qOverload<int, int>(&PackageTable::View::currentChanged), this,
        &MainWindow::currentChanged);
    // The header's sort, reachable from the keyboard.
    sortMenu = new HMenu(tr("Sort &by"), menuBar());
    sortMenu->setObjectName(QStringLiteral("sortMenu"));
    sortMenu->addActions(view->sortActions());
    menuBar()->insertMenu(reposMenu->menuAction(), sortMenu);
    connect(
        view, &PackageTable::View::stateChanged, this, qOverload<int>(&MainWindow::stateChanged));

    auto* buttons = new QHBoxLayout;
    describeButton = new QPushButton(tr("&Describe"), panel);
    describeButton->setToolTip(
        tr("Pop up a window with a detailed description of the currently selected package"));
    describeButton->setEnabled(false);
    describeButton->setObjectName(QStringLiteral("describeButton"));
    connect(describeButton, &QPushButton::clicked, view, &PackageTable::View::describe);
    auto* resizeButton = new QPushButton(tr("Re&size"), panel);
    resizeButton->setToolTip(tr("Resize the columns and window to optimal values"));
    resizeButton->setObjectName(QStringLiteral("resizeButton"));
    connect(resizeButton, &QPushButton::clicked, this, &MainWindow::resize);
    auto* refreshButton = new QPushButton(tr("Re&fresh"), panel);
    refreshButton->setToolTip(
        tr("Refresh the list of installed packages and packages available for update.\nUse this "
           "to check for new updates in repositories, or if any packages were installed "
           "manually."));
    refreshButton->setObjectName(QStringLiteral("refreshButton"));
    connect(refreshButton, &QPushButton::clicked, this, &MainWindow::refresh);
    auto* selectedButton = new QPushButton(tr("Set &Install/Update of Selected"), panel);
    selectedButton->setToolTip(
        tr("Sets the Action for all selected packages which are Not Installed to Install, "
           "and\nsets the Action for all selected packages which are Installed but Out-of-date "
           "to Update.\nDoes not Apply Actions automatically."));
    selectedButton->setObjectName(QStringLiteral("selectedButton"));
    connect(selectedButton, &QPushButton::clicked, this, &MainWindow::setSelected);
    auto* updateAllButton
        = new QPushButton(updateIcon, tr("Set &Update of All Out-of-Date"), panel);
    updateAllButton->setToolTip(
        tr("Sets the Action for all packages which are Installed but "
           "Out-of-date to Update.\nDoes not Apply Actions automatically."));
    updateAllButton->setObjectName(QStringLiteral("updateAllButton"));
    connect(updateAllButton, &QPushButton::clicked, this, &MainWindow::setUpdateAll);
    auto* securityButton = new QPushButton(updateIcon, tr("Set Securit&y Updates"), panel);
    securityButton->setToolTip(tr("Sets the Action for all packages which are Installed but "
                                  "Out-of-date and have a security advisory\nto Update. Does "
                                  "not Apply Actions automatically."));
    securityButton->setObjectName(QStringLiteral("securityButton"));
    connect(securityButton, &QPushButton::clicked, this, &MainWindow::setSecurityUpdates);
    auto* clearButton = new QPushButton(emptyIcon, tr("C&lear Actions"), panel);
    clearButton->setToolTip(tr("Clears all specified Actions (Updates, Installs, and Removals)"));
    clearButton->setObjectName(QStringLiteral("clearButton"));
    connect(clearButton, &QPushButton::clicked, this, &MainWindow::clearActions);
    applyButton = new QPushButton(checkIcon, tr("&Apply Actions"), panel);
    applyButton->setToolTip(tr("Applies the specified Actions (Updates, Installs, and Removals)"));
    applyButton->setEnabled(false);
    applyButton->setObjectName(QStringLiteral("applyButton"));
    connect(applyButton, &QPushButton::clicked, this, &MainWindow::apply);
    engineWidgets = {modeCombo, describeButton, refreshButton, selectedButton, updateAllButton,
        securityButton, clearButton, applyButton};
    buttons->addWidget(describeButton);
    buttons->addStretch(1);
    buttons->addWidget(resizeButton);
    buttons->addWidget(refreshButton);
    buttons->addWidget(selectedButton);
    buttons->addWidget(updateAllButton);
    buttons->addWidget(securityButton);
    buttons->addWidget(clearButton);
    buttons->addWidget(applyButton);
    panelLayout->addLayout(buttons);
    panel->hide();
    statusLine = new PackageTable::StatusLine(model, this);
    // Permanent: the reports shown in the status bar leave the counts in view.
    statusBar()->addPermanentWidget(statusLine);

    upperBar = new HProgressBar(central);
    upperBar->setObjectName(QStringLiteral("upperBar"));
    lowerBar = new HProgressBar(central);
    lowerBar->setObjectName(QStringLiteral("lowerBar"));
    layout->addWidget(panel, 1);
    layout->addWidget(upperBar);
    layout->addWidget(lowerBar);
    setCentralWidget(central);
    yumIO->setup(this, lowerBar, upperBar);

    collectedExtraData();
    modeChanged(0);
    setReady(false);
    defaultHeader = view->horizontalHeader()->saveState();
}

void MainWindow::setVisible(bool visible)
{
    bool const wasVisible = isVisible();
    QMainWindow::setVisible(visible);
    if (visible && !wasVisible && !initializing) {
        initializing = true;
        QTimer::singleShot(0, this, &MainWindow::initialize);
    }
}

QSize MainWindow::sizeHint() const
{
    QSize hint = QMainWindow::sizeHint();
    hint.setWidth(qMax(hint.width(), 768));
    return hint;
}

void MainWindow::setReady(bool ready)
{
    bool pickled = false;
    if (ready && yumIO) {
        Python::PyGILStateWrapper lock(true);
        pickled = yumIO->hasPickledCache();
    }
    // Quit stays: it is the way out of a long wait (see stopAndQuit).
    for (QWidget* widget : {static_cast<QWidget*>(reposMenu), static_cast<QWidget*>(sortMenu),
             static_cast<QWidget*>(cacheMenu), panel})
        widget->setEnabled(ready);
    for (QAction* action :
        {editReposAction, cleanHeadersAction, cleanPackagesAction, cleanXmlMetadataAction,
            cleanAllAction, exportMarksAction, importMarksAction, resetLayoutAction})
        action->setEnabled(ready);
    cleanPickledCacheAction->setEnabled(ready && pickled);
    if (historyWindow)
        historyWindow->setCommandsEnabled(ready);
    this->ready = ready;
    if (ready)
        QApplication::restoreOverrideCursor();
    else
        QApplication::setOverrideCursor(Qt::WaitCursor);
    if (ready && stopping) {
        quitWhenIdle(); // the stopped operation has ended
        return;
    }
    QApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

void MainWindow::initialize()
{
    if (stopping) { // a stop signal came first
        quit();
        return;
    }
    yumConfIO = new YumConfIO(repoEnabledList, sessionUse);
    connect(yumConfIO, &YumConfIO::changed, this, &MainWindow::yumConfIOChanged);
    model->setYumConfIO(yumConfIO);
    if (startLog)
        displayLog();
    // The package manager's modules load while the cached rows are shown.
    yumIO->startInitialize();
    bool const cached = !startRepoEditor && showCachedRows();
    if (!yumIO->initialize()) {
        failedStart = true;
        quit();
        return;
    }
    if (!cached)
        restoreLayout();
    if (startRepoEditor) {
        model->reset();
        startEnded = true;
        setReady(true);
        // The packages are collected when the editor closes (reposChanged).
        editRepositories(true);
        return;
    }
    bool changed = false;
    {
        // Reads the configuration (seeding the session's use of each
        // repository) and asks for missing larder credentials.
        RepoAuth::Checker checker(this, yumConfIO);
        if (checker.quit) {
            quit();
            return;
        }
        changed = checker.changed;
    }
    configuredUse = sessionUse;
    if (changed)
        yumIO->clear();
    bool const collected = yumIO->collect(sessionUse);
    // The same rows as the cache's: the view stays as it is (scroll position,
    // selection, sort), only the commands come on.
    if (!yumIO->cachedRowsKept())
        resetModel();
    setLoading(false);
    panel->show();
    if (!columnsRestored && !cached)
        view->resizeColumnsToContents();
    startEnded = true;
    setReady(true);
    if (collected && !quitting)
        storeRowCache();
}

// The rows of the last collection on this root, shown at once when nothing
// they were made of has changed since; the commands that need the package
// manager stay off until it has loaded (setLoading).
bool MainWindow::showCachedRows()
{
    Package::EntryList rows;
    QString const root = InstallRoot::path();
    if (!RowCache::load(RowCache::fileName(root), root, rowCacheOptions(), rows))
        return false;
    yumIO->showCachedRows(rows);
    restoreLayout();
    model->reset();
    stateChanged(-1);
    setLoading(true);
    panel->show();
    if (!columnsRestored)
        view->resizeColumnsToContents();
    QApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    return true;
}

// While loading, the table can be read, scrolled, sorted and filtered; marks
// and every command that needs the package manager wait. The window's title
// and the status bar say so.
void MainWindow::setLoading(bool on)
{
    if (loading == on)
        return;
    loading = on;
    view->setMarksAllowed(!on);
    panel->setEnabled(on || ready);
    for (QWidget* widget : std::as_const(engineWidgets))
        widget->setEnabled(!on);
    if (on) {
        QString const text = tr("Loading the package manager: the table shows the packages as "
                                "they were at the last start");
        setWindowTitle(title + QLatin1Char(' ') + tr("(loading)"));
        statusBar()->showMessage(text);
        statusBar()->setAccessibleDescription(text);
        QApplication::changeOverrideCursor(Qt::BusyCursor);
    } else {
        setWindowTitle(title);
        statusBar()->clearMessage();
        statusBar()->setAccessibleDescription(QString());
        describeButton->setEnabled(view->currentIndex().isValid());
        stateChanged(-1);
    }
}

// After a successful collection (once the window is ready again at the
// start): the rows and what they were made of, for the next start. Only the configuration's own
// choice of repositories is cached (the next start makes the same one).
void MainWindow::storeRowCache()
{
    QString const root = InstallRoot::path();
    QString const file = RowCache::fileName(root);
    // The rows were those of the cache, which still describes the system.
    if (!yumIO || sessionUse != configuredUse
        || (yumIO->cachedRowsKept() && RowCache::current(file, root, rowCacheOptions())))
        return;
    RowCache::Sources sources;
    if (!yumIO->cacheSources(sources.files, sources.dirs, sources.statDirs))
        return;
    QString error;
    if (!RowCache::save(file, root, rowCacheOptions(), sources,
            QList<Package::Entry*>(yumIO->begin(), yumIO->end()), &error))
        yumIO->log(Log::Message, 2, tr("The package list could not be cached: %1").arg(error));
}

// The repository options of the command line change the rows.
QByteArray MainWindow::rowCacheOptions() const
{
    QStringList options;
    for (YumRepoEnabled const& option : repoEnabledList)
        options.append(
            (option.enabled ? QLatin1Char('+') : QLatin1Char('-')) + option.pattern.pattern());
    return RowCache::options(options);
}

void MainWindow::yumConfIOChanged()
{
    QString const cache = yumConfIO ? yumConfIO->cacheDir : QString();
    cleanHeadersAction->setToolTip(tr("Clean RPM package headers cached locally in %1").arg(cache));
    cleanPackagesAction->setToolTip(
        tr("Clean RPM packages cached locally in %1\n(useful for recovering disk space)")
            .arg(cache));
    cleanXmlMetadataAction->setToolTip(
        tr("Clean XML metadata cached locally in %1\n(useful along with Clean Pickled Data "
           "for\n forcing download of new available package lists)")
            .arg(cache));
    cleanPickledCacheAction->setToolTip(
        tr("Clean pickled data cached locally in %1\n(useful along with Clean XML Metadata "
           "for\n forcing download of new available package lists)")
            .arg(cache));
    cleanAllAction->setToolTip(tr("Clean all data cached locally in %1").arg(cache));
}

void MainWindow::quit()
{
    if (quitting)
        return;
    quitting = true;
    saveLayout();
    if (logWindow && logWindow->isVisible())
        logWindow->hide();
    if (historyWindow && historyWindow->isVisible())
        historyWindow->hide();
    // The engine goes first, over the window that is still up: what it has
    // to say (a lock it could not release) needs a parent to be read.
    delete yumIO;
    yumIO = nullptr;
    close();
    // Every way out ends the program, whatever the engine had to report
    // and whichever windows its dialogs left behind. Queued: closing the
    // last window has usually ended the event loop already, and a window
    // gone meanwhile (a test's) takes the call with it.
    QMetaObject::invokeMethod(
        this, [] { QCoreApplication::exit(0); }, Qt::QueuedConnection);
}

void MainWindow::quitRequested()
{
    stopAndQuit(true);
}

QString MainWindow::transactionRunningQuestion()
{
    return tr("The transaction is running and cannot be stopped.\nQuit when it has ended?");
}

void MainWindow::stopAndQuit(bool ask)
{
    if (!ask) {
        // A stop signal: no one is left to answer a question, this one or
        // one yet to come (the engine's last words included), so each is
        // answered Cancel, and an operation stops as soon as it can.
        if (!canceller)
            canceller = new DialogCanceller(this);
        canceller->start();
        YumIO::requestInterrupt();
    }
    if (quitting || stopping)
        return;
    if (ready) {
        if (ask && !mayDropMarks())
            return;
        stopping = true;
        quitWhenIdle();
        return;
    }
    if (ask) {
        // The worker waits for the answer to a dialog of its own: it cannot
        // stop before that, and leaving the loops that dialog needs would
        // hang it. (A signal is kept: the operation stops after the answer.)
        if (QApplication::activeModalWidget())
            return;
        // Once rpm runs the transaction nothing stops it: say so, and quit
        // when it has ended.
        QString const question = yumIO && yumIO->transactionRunning()
            ? transactionRunningQuestion()
            : tr("Stop the current operation and quit?");
        QMessageBox box(QMessageBox::Question, tr("VUX"), question, QMessageBox::NoButton, this);
        box.addButton(QMessageBox::Yes)->setObjectName(QStringLiteral("yesButton"));
        box.setDefaultButton(box.addButton(QMessageBox::No));
        box.defaultButton()->setObjectName(QStringLiteral("noButton"));
        if (box.exec() != QMessageBox::Yes || ready || quitting)
            return; // declined, or the operation ended meanwhile (the window stays)
    }
    stopping = true;
    if (yumIO)
        yumIO->log(Log::Heading, 0, tr("Stopping at the user's request"));
    YumIO::requestInterrupt();
}

// The engine goes only once every dialog, menu and command that may still use
// it has returned: from the program's own event loop, between commands.
void MainWindow::quitWhenIdle()
{
    if (quitting || !ready)
        return; // quit already, or a command runs: its end comes back here
    if (QThread::currentThread()->loopLevel() > 1) {
        QTimer::singleShot(20, this, &MainWindow::quitWhenIdle);
        return;
    }
    quit();
}

void MainWindow::closeEvent(QCloseEvent* event)
{
    if (quitting) {
        QMainWindow::closeEvent(event);
        return;
    }
    if (ready) {
        if (!mayDropMarks()) {
            event->ignore();
            return;
        }
        quit(); // its own close() is part of this one
        QMainWindow::closeEvent(event);
        return;
    }
    event->ignore(); // the window closes when the stopped operation has ended
    stopAndQuit(true);
}

void MainWindow::displayLog()
{
    // The entries live in the engine: nothing to show once it is gone.
    if (!yumIO)
        return;
    if (!logWindow)
        logWindow = new Log::Window(yumIO->logEntries(), this);
    logWindow->show();
}

void MainWindow::displayHistory()
{
    if (!yumIO)
        return;
    if (!historyWindow) {
        historyWindow = new History::Window(yumIO, this);
        connect(
            historyWindow, &History::Window::operationRequested, this, &MainWindow::applyHistory);
        historyWindow->setCommandsEnabled(ready);
    }
    historyWindow->show();
    historyWindow->raise();
    historyWindow->activateWindow();
}

void MainWindow::editRepositories(bool forceReposChanged)
{
    if (!yumConfIO || !yumIO || stopping)
        return;
    if (!repoEditor) {
        repoEditor = new RepoEditor::Dialog(yumIO, yumConfIO, this);
        connect(repoEditor, &RepoEditor::Dialog::reposChanged, this, &MainWindow::reposChanged);
    }
    repoEditor->forceReposChanged = forceReposChanged;
    repoEditor->exec();
}

void MainWindow::editRepositories()
{
    editRepositories(false);
}

// Collects the package lists afresh. With keepMarks the marks go back to
// the packages still listed that can still take them; returns the names of
// those whose marks could not.
QStringList MainWindow::recollect(bool keepMarks)
{
    YumIO::Marks const marks = keepMarks ? yumIO->marks() : YumIO::Marks();
    yumIO->clear();
    // The old entries are gone: the table must not show them while the
    // collection runs.
    model->reset();
    bool const collected = yumIO->collect(sessionUse);
    QStringList const dropped = yumIO->restoreMarks(marks);
    resetModel();
    if (collected)
        storeRowCache();
    return dropped;
}

int MainWindow::markedCount() const
{
    return yumIO ? int(yumIO->marks().size()) : 0;
}

// Quitting with marks that were not applied drops them: asked first.
bool MainWindow::mayDropMarks()
{
    int const marked = markedCount();
    return marked == 0
        || confirmed(this,
            tr("Packages marked for an action that has not been applied: %1.\nQuit "
               "without applying?")
                .arg(marked));
}

void MainWindow::resetModel()
{
    // A search over the new entries needs their extra data; it is loaded
    // before the table filters again, never from inside the reset.
    bool const search = searching();
    if (search)
        view->setFilter(false);
    model->reset();
    if (search)
        prepareFilterSearch();
    // The providers are asked again of the new package set.
    if (modeCombo->currentIndex() == PackageTable::Provides)
        askProviders();
    stateChanged(-1);
}

void MainWindow::resize()
{
    view->resizeColumnsToContents();
}

// Applies the marked actions. After a transaction the table is collected
// afresh (every action gone); a failed or declined apply leaves the table and
// the marks as they were, unless its transaction changed the system before it
// failed: the table then shows what is installed now, and the marks stay on
// what can still take them (what failed), ready for another try.
void MainWindow::apply()
{
    setReady(false);
    bool const applied = yumIO->apply();
    if (applied || yumIO->partlyApplied()) {
        if (!checkCredentials())
            return; // quitting: the window stays busy
        recollect(!applied); // clears the engine and collects; the model resets with it
        if (historyWindow && historyWindow->isVisible())
            historyWindow->reload();
    }
    setReady(true);
}

// As apply(), with the transaction the package manager's history names.
// The collection afterwards keeps the marks of the packages that can still
// take them; the others are dropped, so marks are not put at stake unasked.
void MainWindow::applyHistory(History::Operation operation, int id)
{
    if (!ready || !yumIO)
        return;
    int const marked = markedCount();
    if (marked > 0
        && !confirmed(historyWindow ? static_cast<QWidget*>(historyWindow) : this,
            tr("Packages marked for an action that has not been applied: %1.\nThe package "
               "lists are collected again afterwards; packages that can no longer take their "
               "marks lose them.\nGo on?")
                .arg(marked)))
        return;
    setReady(false);
    QStringList dropped;
    if (yumIO->applyHistory(operation, id) || yumIO->partlyApplied()) {
        if (!checkCredentials())
            return; // quitting: the window stays busy
        dropped = recollect(true);
    }
    if (historyWindow)
        historyWindow->reload();
    setReady(true);
    if (!dropped.isEmpty() && !quitting && !stopping)
        statusBar()->showMessage(
            tr("Marks dropped (the package is gone, or its action no longer applies): %1")
                .arg(dropped.join(QStringLiteral(", "))));
}

// Runs the larder credential check; false when the user chose to quit (the
// program is then ending).
bool MainWindow::checkCredentials()
{
    RepoAuth::Checker checker(this, yumConfIO);
    if (checker.quit) {
        quit();
        return false;
    }
    return true;
}

void MainWindow::refresh()
{
    setReady(false);
    recollect();
    setReady(true);
}

void MainWindow::reposChanged()
{
    if (!yumIO)
        return;
    setReady(false);
    // The checker reads the configuration afresh and asks for credentials a
    // changed repository set may lack.
    if (!checkCredentials())
        return; // quitting: the window stays busy
    recollect(); // the model is reset with the new entries
    if (panel->isHidden()) {
        panel->show();
        if (!columnsRestored)
            view->resizeColumnsToContents();
    }
    setReady(true);
}

void MainWindow::runCacheCommand(bool (YumIO::*clean)(), bool recollectAfter)
{
    // The collection afterwards keeps the marks of the packages it lists
    // again; a package it no longer finds (a repository out of reach) loses
    // its mark, so marks are not put at stake unasked.
    int const marked = recollectAfter ? markedCount() : 0;
    if (marked > 0
        && !confirmed(this,
            tr("Packages marked for an action that has not been applied: %1.\nCleaning "
               "collects the package lists again; packages no longer listed afterwards lose "
               "their marks.\nClean the cache?")
                .arg(marked)))
        return;
    setReady(false);
    // A clean that failed has been reported; the packages read before it
    // are still in memory, and a collection would only fail again for the
    // same reason (a cache that cannot be written).
    bool const cleaned = (yumIO->*clean)();
    QStringList dropped;
    if (cleaned && recollectAfter)
        dropped = recollect(true);
    setReady(true);
    if (cleaned)
        showCleanReport(dropped);
}

// What a clean removed, in the status bar: every cache command reports
// there, without a dialog to dismiss each time.
void MainWindow::showCleanReport(QStringList const& droppedMarks)
{
    if (!yumIO || quitting || stopping)
        return;
    QString text = tr("Cleaned the cache in %1: %2")
                       .arg(yumConfIO ? yumConfIO->cacheDir : QString(),
                           yumIO->cleanReport().join(QStringLiteral(", ")));
    if (!droppedMarks.isEmpty())
        text += QStringLiteral(". ")
            + tr("Marks dropped (the package is gone, or its action no longer applies): %1")
                  .arg(droppedMarks.join(QStringLiteral(", ")));
    statusBar()->showMessage(text);
}

void MainWindow::cleanHeaders()
{
    runCacheCommand(&YumIO::cleanHeaders, true);
}

void MainWindow::cleanPackages()
{
    runCacheCommand(&YumIO::cleanPackages, false);
}

void MainWindow::cleanXmlMetadata()
{
    runCacheCommand(&YumIO::cleanXmlMetadata, true);
}

void MainWindow::cleanPickledCache()
{
    runCacheCommand(&YumIO::cleanPickledCache, true);
}

void MainWindow::cleanAll()
{
    runCacheCommand(&YumIO::cleanAll, true);
}

// The HTML manual is shown inside the program: it needs no browser, so it
// works as root, offline and without a desktop session.
void MainWindow::manualHtml()
{
    if (!helpWindow)
        helpWindow = new Help::Window(this);
    helpWindow->showManual();
}

// The PDF manual goes to the desktop's viewer, as the invoking user. When
// that cannot be, the reader learns why and is offered the manual inside.
void MainWindow::manualPdf()
{
    QString const path = Share::documentDirectory() + QStringLiteral("/manual.pdf");
    QString why;
    if (!QFileInfo(path).isFile()) {
        why = tr("The PDF manual is not installed: there is no file %1.").arg(path);
    } else {
        QString const refusal = Execute::open(
            this, QStringLiteral("mimeviewer"), {QStringLiteral("application/pdf"), path});
        if (refusal.isEmpty())
            return;
        why = tr("The PDF manual %1 cannot be opened:\n%2").arg(path, refusal);
    }
    QMessageBox box(QMessageBox::Information, tr("Help"),
        why + QStringLiteral("\n\n") + tr("The same manual can be read inside VUX."),
        QMessageBox::NoButton, this);
    QPushButton* show = box.addButton(tr("&Show Manual"), QMessageBox::AcceptRole);
    show->setObjectName(QStringLiteral("showManualButton"));
    box.addButton(QMessageBox::Close)->setObjectName(QStringLiteral("closeButton"));
    box.setDefaultButton(show);
    box.exec();
    if (box.clickedButton() == show)
        manualHtml();
}

void MainWindow::about()
{
    QMessageBox::about(this, tr("About"),
        tr("<h3>VUX %1</h3><hr><p>VUX, Vuxtool, is a graphical user interface which allows a "
           "user to make modifications to the installed rpm packages on a "
           "system.</p><p>Capabilities:<p><ul><li>Install new packages or update existing "
           "packages by downloading them from a yum package repository</li><li>Remove existing "
           "packages.</li><li>Configure sets of repositories from which to obtain new and "
           "updated packages.</li><li>Examine installed packages or packages available for "
           "installation or update</li><li>Install, update, or remove groups of "
           "packages</li><li>Install or update suites of packages</li></ul>")
                .arg(QStringLiteral(VUX_VERSION))
            + QStringLiteral("<p>" VUX_HOMEPAGE "</p>"));
}

void MainWindow::modeChanged(int index)
{
    bool const busy = index != PackageTable::Filter;
    if (busy)
        setReady(false);
    showModeTexts(index);
    prepareFilterSearch();
    if (index == PackageTable::Provides)
        askProviders();
    view->setMode(PackageTable::Mode(index));
    showPatternState();
    if (busy)
        setReady(true);
}

void MainWindow::showModeTexts(int mode)
{
    if (mode == PackageTable::Provides) {
        goButton->setText(tr("Find"));
        patternEdit->setToolTip(
            tr("Capability or file whose providers to find, such as /usr/bin/xz or "
               "libfoo.so.1()(64bit);\nshell wildcards (* ? [...]) are allowed"));
        goButton->setToolTip(
            tr("Show the packages that provide the capability or file named to the left"));
    } else if (mode == PackageTable::Search) {
        goButton->setText(tr("Search"));
        patternEdit->setToolTip(tr("Regular expression to compare to all fields of a package"));
        goButton->setToolTip(
            tr("Perform the search for the regular expression specified to the left"));
    } else {
        goButton->setText(tr("Filter"));
        patternEdit->setToolTip(
            tr("Regular expression filter matching textual fields visible in the table"));
        goButton->setToolTip(tr("Apply the filter specified to the left"));
    }
}

bool MainWindow::searching() const
{
    QString const pattern = patternEdit->text();
    return modeCombo->currentIndex() == PackageTable::Search && !pattern.isEmpty()
        && pattern != QLatin1String(".*");
}

void MainWindow::prepareFilterSearch()
{
    // With the extra data in memory already there is nothing to load, and
    // switching the filter off and on again would only rebuild the table.
    if (!yumIO || !searching() || (yumIO->fileListsCollected() && yumIO->otherDataCollected()))
        return;
    view->setFilter(false);
    yumIO->collectFileLists();
    yumIO->collectOtherData();
    view->setFilter(true);
}

void MainWindow::filtersearch()
{
    int const mode = modeCombo->currentIndex();
    bool const busy = mode != PackageTable::Filter;
    if (busy)
        setReady(false);
    if (mode == PackageTable::Provides) {
        askProviders();
    } else {
        prepareFilterSearch();
        view->filtersearch(patternEdit->text());
    }
    showPatternState();
    if (busy)
        setReady(true);
}

// The What Provides mode asks the package manager, as dnf repoquery
// --whatprovides does, and the table shows the packages it names; an empty
// pattern (or ".*") hides nothing.
void MainWindow::askProviders()
{
    QString const capability = patternEdit->text().trimmed();
    if (!yumIO || capability.isEmpty() || capability == QLatin1String(".*")) {
        view->proxyModel()->setProviders(false, {});
        return;
    }
    // A path may be found in the file lists only.
    if (capability.contains(QLatin1Char('/')))
        yumIO->collectFileLists();
    bool ok = false;
    QSet<QString> const names = yumIO->whatProvides(capability, &ok);
    view->proxyModel()->setProviders(ok, names);
}

void MainWindow::showPatternState()
{
    // An expression that does not compile hides nothing; the field says why.
    QString const problem = view->proxyModel()->patternError();
    QPalette palette = QApplication::palette(patternEdit);
    if (problem.isEmpty()) {
        patternEdit->setPalette(palette);
        patternEdit->setAccessibleDescription(QString());
        showModeTexts(modeCombo->currentIndex());
        return;
    }
    QString const text = tr("Not a valid regular expression (%1): nothing is hidden").arg(problem);
    palette.setColor(QPalette::Active, QPalette::Base, QColor(Colors::errorDisabled()));
    palette.setColor(QPalette::Inactive, QPalette::Base, QColor(Colors::errorDisabled()));
    patternEdit->setPalette(palette);
    patternEdit->setToolTip(text);
    patternEdit->setAccessibleDescription(text);
}

void MainWindow::stateFilterChanged(int index)
{
    bool const search = modeCombo->currentIndex() == PackageTable::Search;
    if (search)
        setReady(false);
    view->stateFilterChanged(PackageTable::StateFilter(index));
    if (search)
        setReady(true);
}

void MainWindow::groupsFilterChanged(int checked)
{
    bool const search = modeCombo->currentIndex() == PackageTable::Search;
    if (search)
        setReady(false);
    view->groupsFilterChanged(checked != 0);
    if (search)
        setReady(true);
}

void MainWindow::currentChanged(int currentRow, int)
{
    describeButton->setEnabled(currentRow != -1);
}

void MainWindow::stateChanged(int row)
{
    if (!yumIO)
        return;
    bool actions = row != -1 && row < yumIO->count() && (*yumIO)[row]->action != Package::None;
    for (int i = 0; !actions && i < yumIO->count(); ++i)
        actions = (*yumIO)[i]->action != Package::None;
    applyButton->setEnabled(actions);
}

void MainWindow::stateChanged()
{
    stateChanged(-1);
}

void MainWindow::setSelected()
{
    model->setSelected(view->selectedRows());
    stateChanged(-1);
}

void MainWindow::setUpdateAll()
{
    model->setUpdateAll();
    stateChanged(-1);
}

void MainWindow::setSecurityUpdates()
{
    model->setSecurityUpdates();
    stateChanged(-1);
}

void MainWindow::ignoreCaseChanged(int checked)
{
    bool const search = modeCombo->currentIndex() == PackageTable::Search;
    if (search)
        setReady(false);
    view->proxyModel()->setIgnoreCase(checked != 0);
    showPatternState();
    if (search)
        setReady(true);
}

void MainWindow::exportMarks()
{
    QString const path = QFileDialog::getSaveFileName(
        this, tr("Export Marks"), QString(), tr("Marks (*.txt);;All files (*)"));
    if (!path.isEmpty())
        PackageTable::Marks::exportFile(this, *model, path);
}

void MainWindow::importMarks()
{
    QString const path = QFileDialog::getOpenFileName(
        this, tr("Import Marks"), QString(), tr("Marks (*.txt);;All files (*)"));
    if (path.isEmpty())
        return;
    PackageTable::Marks::importFile(this, *model, path);
    stateChanged(-1);
}

void MainWindow::restoreLayout()
{
    WindowSettings const saved = WindowSettings::load();
    layoutLoaded = true;
    if (!saved.geometry.isEmpty())
        restoreGeometry(saved.geometry);
    groupsCheck->setChecked(saved.groups);
    ignoreCaseCheck->setChecked(saved.ignoreCase);
    stateCombo->setCurrentIndex(saved.view);
    if (!saved.header.isEmpty())
        columnsRestored = view->horizontalHeader()->restoreState(saved.header);
    if (saved.sortColumn >= 0)
        view->setSort(saved.sortColumn, Qt::SortOrder(saved.sortOrder));
}

// Called on every way out once the layout was restored. The columns and
// the order are kept only once the table was shown: before that they are
// not the user's.
void MainWindow::saveLayout()
{
    if (!layoutLoaded)
        return;
    WindowSettings settings = WindowSettings::load();
    settings.geometry = saveGeometry();
    settings.view = stateCombo->currentIndex();
    settings.groups = groupsCheck->isChecked();
    settings.ignoreCase = ignoreCaseCheck->isChecked();
    if (!panel->isHidden()) {
        QHeaderView const* header = view->horizontalHeader();
        settings.sortColumn = header->sortIndicatorSection();
        settings.sortOrder = header->sortIndicatorOrder();
        settings.header = header->saveState();
    }
    settings.save();
}

void MainWindow::resetLayout()
{
    WindowSettings::reset();
    groupsCheck->setChecked(false);
    ignoreCaseCheck->setChecked(false);
    stateCombo->setCurrentIndex(PackageTable::ViewUpdatable);
    view->horizontalHeader()->restoreState(defaultHeader);
    view->setSort(PackageTable::KindColumn, Qt::AscendingOrder);
    columnsRestored = false;
    showNormal();
    QWidget::resize(sizeHint());
    view->resizeColumnsToContents();
}

void MainWindow::clearActions()
{
    model->clearActions();
    stateChanged(-1);
}

void MainWindow::collectedExtraData()
{
    QString const text = tr(
        "Specify the method for using a regular expression to select packages in the "
        "table:\n\tFilter uses the textual fields visible in the table, as if they were separated "
        "by spaces.\n\tSearch uses all fields in packages, including list of Files, Change Log, "
        "Requires, etc.,\n\tindependently.  It is considerably slower.\n\tWhat Provides shows "
        "the packages that provide a capability or file (not a regular expression).");
    if (yumIO && yumIO->fileListsCollected() && yumIO->otherDataCollected())
        modeCombo->setToolTip(text);
    else
        modeCombo->setToolTip(tr("%1 (Must load extra data.)").arg(text));
}
