// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include <QByteArray>
#include <QHash>

// Reaching the user's display. pkexec (and sudo) start Vux as root with an
// environment stripped of most of the session: the display, its authority
// file and the choice of platform come back here before the toolkit starts.
namespace DesktopSession {

using Environment = QHash<QByteArray, QByteArray>;

// The uid for which a process of root acts (PKEXEC_UID, else SUDO_UID), or
// -1 when the process is not root or was not started on someone's behalf.
long invokingUid(Environment const& own, bool root);

// The variables to add to own so that a root process started for the user
// whose environment is invoking (home directory invokingHome) reaches that
// user's X display: DISPLAY and XAUTHORITY where own lacks them, and the xcb
// platform, as root cannot talk to the user's Wayland compositor.
// platformChosen: the command line names a platform (-platform).
Environment restored(Environment const& own, Environment const& invoking,
    QByteArray const& invokingHome, bool platformChosen);

// NUL-separated NAME=value records, as in /proc/PID/environ.
Environment parseEnviron(QByteArray const& records);

// Applies restored() to this process, taking the invoking user's environment
// from the nearest ancestor process that runs as that user.
void prepare(int argc, char** argv);

// Whether the toolkit has somewhere to show windows: a platform chosen on the
// command line or in QT_QPA_PLATFORM, or an X11 or Wayland display.
bool hasDisplay(int argc, char** argv);

} // namespace DesktopSession
