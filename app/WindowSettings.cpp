// SPDX-License-Identifier: GPL-2.0-or-later
#include "app/WindowSettings.h"

#include "packagetable/PackageTable.h"

#include <QSettings>

namespace {

// The header's saved state fits one layout of columns only.
int const layoutVersion = PackageTable::ColumnCount;

} // namespace

QSettings WindowSettings::store()
{
    return QSettings(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("vux"),
        QStringLiteral("vux"));
}

QString WindowSettings::fileName()
{
    return store().fileName();
}

WindowSettings WindowSettings::load()
{
    QSettings const settings = store();
    WindowSettings result;
    result.geometry = settings.value(QStringLiteral("window/geometry")).toByteArray();
    result.view = settings.value(QStringLiteral("table/view"), 0).toInt();
    if (result.view < PackageTable::ViewUpdatable || result.view > PackageTable::ViewSecurity)
        result.view = PackageTable::ViewUpdatable;
    result.groups = settings.value(QStringLiteral("table/groups"), false).toBool();
    result.ignoreCase = settings.value(QStringLiteral("table/ignoreCase"), false).toBool();
    if (settings.value(QStringLiteral("table/columns")).toInt() == layoutVersion) {
        result.sortColumn = settings.value(QStringLiteral("table/sortColumn"), -1).toInt();
        result.sortOrder
            = settings.value(QStringLiteral("table/sortOrder"), 0).toInt() == 1 ? 1 : 0;
        result.header = settings.value(QStringLiteral("table/header")).toByteArray();
    }
    if (result.sortColumn < 0 || result.sortColumn >= PackageTable::ColumnCount)
        result.sortColumn = -1;
    return result;
}

void WindowSettings::save() const
{
    QSettings settings = store();
    settings.setValue(QStringLiteral("window/geometry"), geometry);
    settings.setValue(QStringLiteral("table/view"), view);
    settings.setValue(QStringLiteral("table/groups"), groups);
    settings.setValue(QStringLiteral("table/ignoreCase"), ignoreCase);
    settings.setValue(QStringLiteral("table/columns"), layoutVersion);
    settings.setValue(QStringLiteral("table/sortColumn"), sortColumn);
    settings.setValue(QStringLiteral("table/sortOrder"), sortOrder);
    settings.setValue(QStringLiteral("table/header"), header);
    settings.sync();
}

void WindowSettings::reset()
{
    QSettings settings = store();
    settings.clear();
    settings.sync();
}
