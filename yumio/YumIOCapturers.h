// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include <QObject>

class YumIO;
class YumIOCapturersMinion;

// Redirects the process's descriptors 1 and 2 into pipes for as long as it
// lives, so that what rpm and package scripts write reaches the log. Created
// on the worker thread; its minion reads the pipes in the GUI thread.
class YumIOCapturers : public QObject
{
    Q_OBJECT

public:
    explicit YumIOCapturers(YumIO* engine);
    ~YumIOCapturers() override;

private:
    YumIO* engine;
    YumIOCapturersMinion* minion = nullptr;
    int savedStdout = -1;
    int savedStderr = -1;
    int stdoutPipe[2] = {-1, -1};
    int stderrPipe[2] = {-1, -1};
};
