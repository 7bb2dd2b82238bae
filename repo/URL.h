// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include <QString>

namespace URL {

// The host part of "scheme://host/path": everything between "//" and the
// next '/', user information and port included; empty when the text has no
// "://" after its first ':'.
QString getHost(QString const& url);

} // namespace URL
