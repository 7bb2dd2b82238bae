// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include <QList>
#include <QString>
#include <QtGlobal>

namespace Package {

// The kinds of advisory, in increasing urgency: an update is known by its
// most pressing one, and the table sorts by it.
enum AdvisoryKind : quint8 {
    NoAdvisory = 0,
    OtherAdvisory = 1, // a kind the package manager does not name
    NewPackageAdvisory = 2,
    EnhancementAdvisory = 3,
    BugfixAdvisory = 4,
    SecurityAdvisory = 5
};

// The severity of a security advisory as a rank, in increasing urgency; 0
// for none or one the repositories made up.
int severityRank(QString const& severity);
// The kind of the updateinfo's type ("security", "bugfix", ...).
AdvisoryKind advisoryKind(QString const& type);

struct AdvisoryReference
{
    QString type; // "cve", "bugzilla", "vendor" or "unknown"
    QString id;
    QString title;
    QString url;
};

// One advisory of an update, as the repository's updateinfo tells it.
struct Advisory
{
    QString id;
    AdvisoryKind kind = NoAdvisory;
    QString severity; // as the repository spells it, empty for none
    long updated = 0; // seconds
    QString title;
    QString description;
    QList<AdvisoryReference> references;

    // Whether this one is more pressing than other: kind, then severity,
    // then the later date.
    bool morePressing(Advisory const& other) const;
};

} // namespace Package
