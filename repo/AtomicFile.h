// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include <QByteArray>
#include <QString>

#include <sys/types.h>

// Replaces a file's whole content so that a crash, a full disk or a killed
// process leaves either the old file or the new one, never a part of either.
namespace AtomicFile {

// Writes data to a temporary file in the target's directory (".NAME.vux-XXXXXX"),
// flushes it to disk and renames it over the target. A symbolic link is
// followed and the file it points to is replaced, so the link stays a link.
// An existing file keeps its mode and owner; a new one gets newFileMode.
// With secret (data holding a password) an existing file keeps at most the
// owner's read and write permission.
// Returns 0, or the errno of the failing step; the old file is then intact
// and no temporary file is left behind.
int replace(QString const& path, QByteArray const& data, mode_t newFileMode, bool secret = false);

// The file that replace() would write for path: symbolic links of the last
// component followed, however many. Sets *error (ELOOP, or lstat's errno)
// and returns an empty string on failure.
QString resolveLinks(QString const& path, int* error);

} // namespace AtomicFile
