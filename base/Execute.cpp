// SPDX-License-Identifier: GPL-2.0-or-later
#include "base/Execute.h"

#include "base/Interrupt.h"

#include <QMessageBox>
#include <QObject>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <sys/types.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

// Between fork and exec only async-signal-safe calls are sound in a threaded
// process: format into a local buffer and write(2) it.
void report(char const* text)
{
    ssize_t const ignored = ::write(STDERR_FILENO, text, std::strlen(text));
    (void)ignored;
}

} // namespace

void Execute::execute(QWidget* parent, char* const* argv)
{
    pid_t const child = ::fork();
    if (child < 0) {
        int const error = errno;
        QMessageBox::critical(parent, QObject::tr("Help"),
            QObject::tr("fork() failed; errno = %1 (%2)")
                .arg(error)
                .arg(QString::fromLocal8Bit(std::strerror(error))),
            QMessageBox::Ok);
        return;
    }
    if (child == 0) {
        char buffer[1024];
        pid_t const grandchild = ::fork();
        if (grandchild < 0) {
            int const error = errno;
            std::snprintf(buffer, sizeof buffer, "second fork() failed; errno = %u (%s)\n",
                unsigned(error), std::strerror(error));
            report(buffer);
            ::_exit(1);
        }
        if (grandchild == 0) {
            Interrupt::unblockSignals(); // the viewer can be stopped as usual
            ::execv(argv[0], argv);
            int const error = errno;
            std::snprintf(buffer, sizeof buffer, "execv(\"%s\", ...) failed; errno = %u (%s)\n",
                argv[0], unsigned(error), std::strerror(error));
            report(buffer);
            ::_exit(1);
        }
        ::_exit(0);
    }
    // The child leaves at once; reaping it leaves the grandchild to init.
    while (::waitpid(child, nullptr, 0) < 0 && errno == EINTR) { }
}
