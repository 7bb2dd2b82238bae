// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include <QString>

// The share directory holds what is installed beside the program: the
// companion script, icons and helper programs.
namespace Share {

// "%1/%2" with the share directory ($VUXSHARE when set, read on every call)
// and the relative path.
QString absolute(QString const& relative);

} // namespace Share
