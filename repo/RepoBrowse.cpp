// SPDX-License-Identifier: GPL-2.0-or-later
#include "repo/RepoBrowse.h"

#include "base/Credentials.h"
#include "base/Execute.h"
#include "repo/RepoEntry.h"
#include "repo/YumConfIO.h"
#include "yumio/YumIO.h"

#include <QMessageBox>
#include <QRegularExpression>

QString RepoBrowse::firstUrl(Repo::Entry const& entry)
{
    static QRegularExpression const blanks(QStringLiteral("\\s+"));
    QStringList const urls = entry.baseurl.split(blanks, Qt::SkipEmptyParts);
    if (!urls.isEmpty())
        return urls.first();
    return entry.mirrorlist.trimmed();
}

// Each value comes from its own engine call, which takes the interpreter
// lock for itself: holding it here would stall an engine call that has to
// wait for a worker.
QString RepoBrowse::substitute(QString url, YumIO* yumIO)
{
    if (!yumIO || !url.contains(QLatin1Char('$')))
        return url;
    for (char const* name : {"basearch", "arch", "releasever"}) {
        QString const variable = QLatin1Char('$') + QLatin1String(name);
        if (url.contains(variable))
            url.replace(variable, yumIO->getYumVar(QLatin1String(name)));
    }
    return url;
}

void RepoBrowse::browse(QWidget* parent, Repo::Entry const& entry, YumIO* yumIO)
{
    QString const url = firstUrl(entry);
    if (url.isEmpty()) {
        noUrl(parent);
        return;
    }
    QString const target = substitute(url, yumIO);
    QString const refusal = Execute::open(parent, QStringLiteral("webbrowser"), {target});
    if (!refusal.isEmpty())
        QMessageBox::warning(parent, tr("Error"),
            tr("The repository cannot be opened in a web browser:\n%1\n\nIts URL: %2")
                .arg(refusal, Credentials::masked(target)));
}

void RepoBrowse::browse(QWidget* parent, QString const& repoId, YumIO* yumIO, YumConfIO* yumConfIO)
{
    if (yumConfIO) {
        for (Repo::Entry const& entry : yumConfIO->repos) {
            if (entry.id == repoId) {
                browse(parent, entry, yumIO);
                return;
            }
        }
    }
    noUrl(parent);
}

void RepoBrowse::noUrl(QWidget* parent)
{
    QMessageBox::critical(
        parent, tr("Error"), tr("Repository configuration has no URL"), QMessageBox::Ok);
}
