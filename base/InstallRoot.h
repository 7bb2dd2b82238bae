// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include <QString>

// --installroot=DIR: every path the program and the companion script use is
// taken inside DIR. Empty means the running system.
namespace InstallRoot {

QString const& path();
void set(QString const& dir);

// absolutePath (which starts with '/') as seen inside the install root.
QString inside(QString const& absolutePath);

} // namespace InstallRoot
