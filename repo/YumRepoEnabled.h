// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include <QRegularExpression>
#include <QString>

// One --enablerepo or --disablerepo option: whether it enables, and the
// wildcard pattern that must match a whole repository identifier.
class YumRepoEnabled
{
public:
    YumRepoEnabled(bool enabled, QString const& pattern);

    bool matches(QString const& id) const;

    bool enabled;
    QRegularExpression pattern;
};
