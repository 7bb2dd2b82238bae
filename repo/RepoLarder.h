// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include <QString>

namespace Repo {

struct Entry;

// Larder credentials travel inside repository URLs:
//   .../larder?<nameKey>=<name>&<passwordKey>=<password>&path=<rest>
// The URLs in baseurl and mirrorlist are their only store. Names and
// passwords are percent-encoded in the URL and decoded everywhere else; the
// parameter names are whatever the URL carries and are never invented.
class Larder
{
public:
    Larder() = delete;

    // Credentials of the first larder URL in text; false, with the outputs
    // untouched, when text holds none.
    static bool getAuth(QString const& text, QString& nameKey, QString& name, QString& passwordKey,
        QString& password);
    // The same for baseurl, then for mirrorlist.
    static bool getAuth(Entry const& entry, QString& nameKey, QString& name, QString& passwordKey,
        QString& password);

    // text with every larder URL rewritten to carry the given values.
    static QString replaceAuth(QString const& text, QString const& nameKey, QString const& name,
        QString const& passwordKey, QString const& password);
    // New name and password; the parameter names come from the text's first
    // larder URL.
    static QString replaceAuth(QString const& text, QString const& name, QString const& password);
    // New password; parameter names and name come from the first larder URL.
    static QString replaceAuth(QString const& text, QString const& password);
};

} // namespace Repo
