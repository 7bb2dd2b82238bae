// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include <QHash>
#include <QString>
#include <QThread>

class HProgressBar;
class Progress;
class QEventLoop;
class QWidget;
class YumIO;
class YumIOCapturers;
class YumIODialogs;

// The worker threads of the engine's long operations. Each runs one
// operation body and then ends the GUI thread's nested loop.
class WorkThread : public QThread
{
public:
    WorkThread(YumIO* engine, QEventLoop& loop);
    bool result = false;

protected:
    // Ends the caller's loop from this thread. Queued, so an operation that
    // ends before the loop has started still ends it.
    void exitLoop();

    YumIO* engine;
    QEventLoop& loop;
};

class CollectThread : public WorkThread
{
public:
    CollectThread(YumIO* engine, QEventLoop& loop, QHash<QString, bool> const& sessionUse);

protected:
    void run() override;

private:
    QHash<QString, bool> const& sessionUse;
};

class CollectFileListsThread : public WorkThread
{
public:
    using WorkThread::WorkThread;

protected:
    void run() override;
};

class CollectOtherDataThread : public WorkThread
{
public:
    using WorkThread::WorkThread;

protected:
    void run() override;
};

class ApplyThread : public WorkThread
{
public:
    using WorkThread::WorkThread;

protected:
    void run() override;
};

// Scoped owners of the fronts that serve one operation on its worker thread.

class ProgressUser
{
public:
    ProgressUser(Progress*& slot, HProgressBar* totalBar, HProgressBar* itemBar);
    ~ProgressUser();
    ProgressUser(ProgressUser const&) = delete;
    ProgressUser& operator=(ProgressUser const&) = delete;

private:
    Progress*& slot;
    Progress* saved;
};

class YumIODialogsUser
{
public:
    YumIODialogsUser(YumIODialogs*& slot, QWidget* parent);
    ~YumIODialogsUser();
    YumIODialogsUser(YumIODialogsUser const&) = delete;
    YumIODialogsUser& operator=(YumIODialogsUser const&) = delete;

private:
    YumIODialogs*& slot;
    YumIODialogs* saved;
};

class YumIOCapturersUser
{
public:
    YumIOCapturersUser(YumIOCapturers*& slot, YumIO* engine);
    ~YumIOCapturersUser();
    YumIOCapturersUser(YumIOCapturersUser const&) = delete;
    YumIOCapturersUser& operator=(YumIOCapturersUser const&) = delete;

private:
    YumIOCapturers*& slot;
    YumIOCapturers* saved;
};
