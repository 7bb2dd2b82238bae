// SPDX-License-Identifier: GPL-2.0-or-later
#include "repo/RepoAuthChecker.h"

#include "repo/RepoAuthDialog.h"
#include "repo/RepoEntry.h"
#include "repo/RepoLarder.h"
#include "repo/URL.h"
#include "repo/YumConfIO.h"

#include <QHash>

#include <optional>

namespace RepoAuth {

namespace {

// Whether the entry carries a larder URL whose name and password are both
// still empty.
bool needsAuth(Repo::Entry const& entry)
{
    QString nameKey, name, passwordKey, password;
    return Repo::Larder::getAuth(entry, nameKey, name, passwordKey, password) && name.isEmpty()
        && password.isEmpty();
}

} // namespace

Checker::Checker(QWidget* parent, YumConfIO* yumConfIO)
{
    // A failed read has been reported; what was read is still checked.
    yumConfIO->read(parent);

    QHash<QString, Auth> hostAuth;
    std::optional<Auth> allAuth;
    for (Repo::Entry& entry : yumConfIO->repos) {
        if (!yumConfIO->sessionUse.value(entry.id, false) || !needsAuth(entry))
            continue;
        if (!dialog)
            dialog = new Dialog(parent);
        QString host = URL::getHost(entry.baseurl);
        if (host.isEmpty())
            host = URL::getHost(entry.mirrorlist);
        if (allAuth) {
            replace(entry, *allAuth);
            continue;
        }
        auto const known = hostAuth.constFind(host);
        if (known != hostAuth.constEnd()) {
            replace(entry, *known);
            continue;
        }

        int const answer = dialog->exec(&entry);
        if (answer == Dialog::Quit) {
            quit = true;
            break;
        }
        if (answer == Dialog::SkipAll)
            break;
        if (answer == Dialog::Disable) {
            yumConfIO->sessionUse.insert(entry.id, false);
            continue;
        }
        Auth auth;
        QString nameKey, passwordKey;
        Repo::Larder::getAuth(entry, nameKey, auth.name, passwordKey, auth.password);
        if (!auth.name.isEmpty() || !auth.password.isEmpty())
            changed = true;
        if (answer == Dialog::ApplyAll)
            allAuth = auth;
        else if (answer == Dialog::ApplyHost)
            hostAuth.insert(host, auth);
    }
    if (dialog)
        dialog->hide();
    if (changed)
        yumConfIO->write(parent);
}

Checker::~Checker()
{
    delete dialog;
}

void Checker::replace(Repo::Entry& entry, Auth const& auth)
{
    entry.baseurl = Repo::Larder::replaceAuth(entry.baseurl, auth.name, auth.password);
    entry.mirrorlist = Repo::Larder::replaceAuth(entry.mirrorlist, auth.name, auth.password);
}

} // namespace RepoAuth
