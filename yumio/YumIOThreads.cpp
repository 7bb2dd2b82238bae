// SPDX-License-Identifier: GPL-2.0-or-later
#include "python/PythonHeaders.h"

#include "yumio/YumIOThreads.h"

#include "progress/Progress.h"
#include "widgets/HProgressBar.h"
#include "yumio/RowCache.h"
#include "yumio/YumIO.h"
#include "yumio/YumIOCapturers.h"
#include "yumio/YumIODialogs.h"

#include <QEventLoop>
#include <QFontDatabase>
#include <QImageReader>

#include <atomic>

#include <pthread.h>
#include <signal.h>

#ifdef __GLIBC__
#include <malloc.h>
#endif

namespace {
std::atomic<bool> interruptFlag {false};
} // namespace

void YumIO::resetInterrupt()
{
    interruptFlag.store(false);
}

void YumIO::requestInterrupt()
{
    interruptFlag.store(true);
}

bool YumIO::interruptRequested()
{
    return interruptFlag.load();
}

// The script asks from its progress reports whether to stop.
PyObject* YumIO::interrupted(PyObject*)
{
    return PyBool_FromLong(interruptFlag.load() ? 1 : 0);
}

WorkThread::WorkThread(YumIO* engine, QEventLoop& loop)
    : engine(engine)
    , loop(loop)
{
}

void WorkThread::exitLoop()
{
    QMetaObject::invokeMethod(&loop, "quit", Qt::QueuedConnection);
}

CollectThread::CollectThread(
    YumIO* engine, QEventLoop& loop, QHash<QString, bool> const& sessionUse)
    : WorkThread(engine, loop)
    , sessionUse(sessionUse)
{
}

void CollectThread::run()
{
    result = engine->collectReal(sessionUse);
    exitLoop();
}

void CollectFileListsThread::run()
{
    result = engine->collectFileListsReal();
    exitLoop();
}

void CollectOtherDataThread::run()
{
    result = engine->collectOtherDataReal();
    exitLoop();
}

void ApplyThread::run()
{
    result = engine->applyReal();
    exitLoop();
}

ProgressUser::ProgressUser(Progress*& slot, HProgressBar* totalBar, HProgressBar* itemBar)
    : slot(slot)
    , saved(slot)
{
    slot = new Progress(totalBar, itemBar);
}

ProgressUser::~ProgressUser()
{
    delete slot;
    slot = saved;
}

YumIODialogsUser::YumIODialogsUser(YumIODialogs*& slot, QWidget* parent)
    : slot(slot)
    , saved(slot)
{
    slot = new YumIODialogs(parent);
}

YumIODialogsUser::~YumIODialogsUser()
{
    delete slot;
    slot = saved;
}

YumIOCapturersUser::YumIOCapturersUser(YumIOCapturers*& slot, YumIO* engine)
    : slot(slot)
    , saved(slot)
{
    slot = new YumIOCapturers(engine);
}

YumIOCapturersUser::~YumIOCapturersUser()
{
    delete slot;
    slot = saved;
}

// ---------------------------------------------------------------------------

bool YumIO::execWorkThread(QEventLoop& loop, QThread& thread)
{
    blocker.prepare();
    searchCorpus.clear();
    QThread* const outerWorker = worker;
    worker = &thread;
    thread.start(QThread::HighPriority);

    // The worker was created with SIGCHLD open: the exits of rpm's scriptlet
    // processes go to it, not to the GUI thread.
    sigset_t childSignal;
    sigset_t saved;
    sigemptyset(&childSignal);
    sigaddset(&childSignal, SIGCHLD);
    pthread_sigmask(SIG_BLOCK, &childSignal, &saved);

    blocker.release();
    loop.exec();
    thread.wait();
    worker = outerWorker;
    loop.processEvents(QEventLoop::ExcludeUserInputEvents);
    {
        PyGILStateWrapper lock(true);
        setEnablePythonSIGINTHandler(false);
    }
    pthread_sigmask(SIG_SETMASK, &saved, nullptr);
    searchCorpus.clear();
    return true;
}

bool YumIO::collect(QHash<QString, bool> const& sessionUse)
{
    QEventLoop loop;
    CollectThread thread(this, loop, sessionUse);
    collectedRows.clear();
    execWorkThread(loop, thread);
    // The rows of the cache stay on screen only if the package manager says
    // exactly the same; the equal new entries then take their place without
    // the table noticing.
    keptCachedRows
        = thread.result && !cachedRows.isEmpty() && RowCache::sameRows(cachedRows, collectedRows);
    static_cast<QList<Package::Entry*>&>(entries) = collectedRows;
    collectedRows.clear();
    cachedRows.deleteAll();
#ifdef __GLIBC__
    // The rows of the cache, or the collection's own working lists, leave
    // free memory scattered through the heaps that the allocator keeps
    // resident for the whole run unless asked to give it back.
    malloc_trim(0);
#endif
    return thread.result;
}

bool YumIO::collectFileLists()
{
    if (fileListsLoaded)
        return true;
    QEventLoop loop;
    CollectFileListsThread thread(this, loop);
    execWorkThread(loop, thread);
    return thread.result;
}

bool YumIO::collectOtherData()
{
    if (otherDataLoaded)
        return true;
    QEventLoop loop;
    CollectOtherDataThread thread(this, loop);
    execWorkThread(loop, thread);
    return thread.result;
}

bool YumIO::apply()
{
    // rpm changes the root directory of the whole process while it runs a
    // transaction into another root: nothing may be loaded from a path then.
    // The GUI thread keeps painting the bars and the log meanwhile, so the
    // image plugins and fonts it could load on first use are loaded now, and
    // the bars are painted once with the texts' font.
    QImageReader::supportedImageFormats();
    QFontDatabase::families();
    if (totalBar)
        totalBar->grab();
    if (itemBar)
        itemBar->grab();
    QEventLoop loop;
    ApplyThread thread(this, loop);
    execWorkThread(loop, thread);
    return thread.result;
}
