// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include <QString>

// The share directory holds what is installed beside the program: the
// companion script, icons and helper programs.
namespace Share {

// "%1/%2" with the share directory ($VUXSHARE when set, read on every call)
// and the relative path.
QString absolute(QString const& relative);

// The documentation directory, which holds the manuals: html/index.html
// with its pictures, and manual.pdf. $VUXDOC when set (read on every call;
// a build tree has one in its doc/ folder), else where this build installs
// them.
QString documentDirectory();

} // namespace Share
