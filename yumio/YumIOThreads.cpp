#include "python/PythonHeaders.h"

#include "yumio/YumIOThreads.h"

#include "progress/Progress.h"
#include "yumio/YumIO.h"
#include "yumio/YumIOCapturers.h"
#include "yumio/YumIODialogs.h"

#include <QEventLoop>

#include <pthread.h>
#include <signal.h>

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
{
    slot = new Progress(totalBar, itemBar);
}

ProgressUser::~ProgressUser()
{
    delete slot;
    slot = nullptr;
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
    return true;
}

bool YumIO::collect(QHash<QString, bool> const& sessionUse)
{
    QEventLoop loop;
    CollectThread thread(this, loop, sessionUse);
    execWorkThread(loop, thread);
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
    QEventLoop loop;
    ApplyThread thread(this, loop);
    execWorkThread(loop, thread);
    return thread.result;
}
