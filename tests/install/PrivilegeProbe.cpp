// SPDX-License-Identifier: GPL-2.0-or-later
#include "app/DesktopSession.h"

#include <cstdio>
#include <cstdlib>
#include <unistd.h>

// Started through pkexec by test_privilege_path.py in the program's place:
// prepares the display session as the program does before its toolkit starts,
// and prints who it runs as and which display it would reach.
int main(int argc, char** argv)
{
    DesktopSession::prepare(argc, argv);
    std::printf("euid=%d\n", int(geteuid()));
    for (char const* name : {"PKEXEC_UID", "DISPLAY", "XAUTHORITY", "QT_QPA_PLATFORM"}) {
        char const* value = std::getenv(name);
        std::printf("%s=%s\n", name, value ? value : "");
    }
    std::printf("hasDisplay=%d\n", DesktopSession::hasDisplay(argc, argv) ? 1 : 0);
    return 0;
}
