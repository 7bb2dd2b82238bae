// SPDX-License-Identifier: GPL-2.0-or-later
#include "packagetable/PackageTableModel.h"

#include "base/Colors.h"
#include "base/Share.h"
#include "packagetable/PackageTableDescribeDialog.h"
#include "repo/RepoBrowse.h"
#include "yumio/YumIO.h"

namespace PackageTable {

namespace {

QIcon shareIcon(char const* file)
{
    return QIcon(Share::absolute(QLatin1String(file)));
}

} // namespace

Model::Model(YumIO* yumIO, QObject* parent)
    : HAbstractTableModel(parent)
    , yumIO(yumIO)
    , outOfDateIcon(shareIcon("icons/out-of-date.png"))
    , upToDateIcon(shareIcon("icons/up-to-date.png"))
    , noneIcon(shareIcon("icons/noneBox.png"))
    , updateIcon(shareIcon("icons/updateBox.png"))
    , installIcon(shareIcon("icons/installBox.png"))
    , removeIcon(shareIcon("icons/removeBox.png"))
    , reinstallIcon(shareIcon("icons/reinstallBox.png"))
    , downgradeIcon(shareIcon("icons/downgradeBox.png"))
    , heldIcon(shareIcon("icons/held.png"))
    , suiteIcon(shareIcon("icons/suite.png"))
    , groupIcon(shareIcon("icons/group.png"))
    , packageIcon(shareIcon("icons/package.png"))
    , updatableColor(Colors::error())
    , updatableDisabledColor(Colors::errorDisabled())
    , availableColor(Colors::minor())
    , availableDisabledColor(Colors::minorDisabled())
{
    qRegisterMetaType<Package::Entry*>("Package::Entry*");
}

int Model::rowCount(QModelIndex const& parent) const
{
    return parent.isValid() || !yumIO ? 0 : yumIO->count();
}

int Model::columnCount(QModelIndex const&) const
{
    return ColumnCount;
}

YumIO* Model::engine() const
{
    return yumIO;
}

Package::Entry* Model::entry(int row) const
{
    return (*yumIO)[row];
}

bool Model::validRow(QModelIndex const& index) const
{
    return index.isValid() && index.row() < rowCount() && index.column() < ColumnCount;
}

Package::State Model::getState(int row) const
{
    return entry(row)->state;
}

QString Model::displayText(Package::Entry const& entry, int column) const
{
    Package::Entry const& e = shownEntry(entry);
    switch (column) {
    case NameColumn:
        return e.name;
    case VersionColumn:
        return e.verRel;
    case RepositoryColumn:
        return e.repo;
    case ArchitectureColumn:
        return e.arch;
    case SizeColumn:
        return e.size();
    case BuildTimeColumn:
        return e.buildTime();
    case AdvisoryColumn:
        return advisoryText(e);
    default:
        return QString();
    }
}

QString Model::advisoryText(Package::Entry const& e)
{
    switch (e.advisoryKind) {
    case Package::SecurityAdvisory:
        switch (e.advisorySeverity) {
        case 1:
            return tr("Security (Low)");
        case 2:
            return tr("Security (Moderate)");
        case 3:
            return tr("Security (Important)");
        case 4:
            return tr("Security (Critical)");
        default:
            return tr("Security");
        }
    case Package::BugfixAdvisory:
        return tr("Bug fix");
    case Package::EnhancementAdvisory:
        return tr("Enhancement");
    case Package::NewPackageAdvisory:
        return tr("New package");
    case Package::OtherAdvisory:
        return tr("Other advisory");
    default:
        return QString();
    }
}

QByteArray const& Model::filterText(int row) const
{
    if (filterTexts.size() != size_t(rowCount()))
        filterTexts.assign(size_t(rowCount()), QByteArray());
    QByteArray& text = filterTexts[size_t(row)];
    if (text.isNull()) {
        Package::Entry const& e = *entry(row);
        QString joined;
        for (int column = NameColumn; column <= BuildTimeColumn; ++column) {
            if (!joined.isEmpty())
                joined += QLatin1Char(' ');
            joined += displayText(e, column);
        }
        text = joined.toLocal8Bit();
        if (text.isNull())
            text = QByteArray("", 0);
    }
    return text;
}

QVariant Model::decoration(Package::Entry const& e, int column) const
{
    switch (column) {
    case ActionColumn:
        switch (e.action) {
        case Package::Update:
            return updateIcon;
        case Package::Install:
            return installIcon;
        case Package::Remove:
            return removeIcon;
        case Package::Reinstall:
            return reinstallIcon;
        case Package::Downgrade:
            return downgradeIcon;
        case Package::None:
            return noneIcon;
        }
        break;
    case StateColumn:
        if (e.held())
            return heldIcon;
        if (e.state == Package::Updatable)
            return outOfDateIcon;
        if (e.state == Package::Installed)
            return upToDateIcon;
        break;
    case KindColumn:
        switch (e.kind) {
        case Package::Suite:
            return suiteIcon;
        case Package::Group:
            return groupIcon;
        case Package::Package:
            return packageIcon;
        }
        break;
    }
    return QVariant();
}

QVariant Model::toolTip(Package::Entry const& e, int column) const
{
    switch (column) {
    case ActionColumn:
        switch (e.action) {
        case Package::Update:
            return tr("Update package");
        case Package::Install:
            return tr("Install package");
        case Package::Remove:
            return tr("Remove package");
        case Package::Reinstall:
            return tr("Reinstall package");
        case Package::Downgrade:
            return tr("Downgrade package to %1").arg(e.downgradeVersion());
        case Package::None:
            break;
        }
        break;
    case StateColumn:
        if (e.held())
            return e.state == Package::Updatable
                ? tr("Package is held at version %1 (version lock): its update is held back")
                      .arg(e.heldAt())
                : tr("Package is held at version %1 (version lock): no other version is "
                     "installed")
                      .arg(e.heldAt());
        switch (e.state) {
        case Package::Updatable:
            return tr("Package is available to update an out-of-date version");
        case Package::Available:
            return tr("Package is available for installation");
        case Package::Installed:
            if (e.olderVersion)
                return tr("An older version of the package, installed beside a newer one");
            return tr("Package is installed and up-to-date");
        }
        break;
    case KindColumn:
        switch (e.kind) {
        case Package::Suite:
            return tr("Suite of packages");
        case Package::Group:
            return tr("Group of packages");
        case Package::Package:
            return tr("Ordinary package");
        }
        break;
    case AdvisoryColumn:
        if (e.advisoryKind != Package::NoAdvisory && yumIO) {
            QStringList lines;
            for (Package::Advisory const& advisory : yumIO->advisories(e))
                lines << tr("%1: %2").arg(advisory.id, advisory.title);
            return lines.join(QLatin1Char('\n'));
        }
        break;
    case VersionColumn:
        if (e.state == Package::Updatable) {
            QString text;
            for (Package::Entry const* version = &e; version; version = version->next) {
                if (version->state == Package::Installed)
                    text += tr("Installed: %1\n").arg(version->verRel);
                else if (!version->replacement().isEmpty())
                    text += tr("Replaced by: %1 %2\n").arg(version->replacement(), version->verRel);
                else
                    text += tr("Available: %1\n").arg(version->verRel);
            }
            return text;
        }
        break;
    }
    return QVariant();
}

QVariant Model::foreground(Package::Entry const& e) const
{
    switch (e.state) {
    case Package::Updatable:
        return enabled ? updatableColor : updatableDisabledColor;
    case Package::Available:
        return enabled ? availableColor : availableDisabledColor;
    case Package::Installed:
        return enabled ? installedColor : installedDisabledColor;
    }
    return QVariant();
}

QVariant Model::data(QModelIndex const& index, int role) const
{
    if (!validRow(index))
        return QVariant();
    Package::Entry* e = entry(index.row());
    int const column = index.column();
    switch (role) {
    case Qt::DisplayRole:
        if (column >= NameColumn)
            return displayText(*e, column);
        break;
    case Qt::DecorationRole:
        return decoration(*e, column);
    case Qt::ToolTipRole:
        return toolTip(*e, column);
    case Qt::ForegroundRole:
        if (column >= KindColumn)
            return foreground(*e);
        break;
    case Qt::AccessibleTextRole:
        // Icon-only cells read as their tool tip.
        if (column < NameColumn) {
            QVariant const tip = toolTip(*e, column);
            return tip.isValid() ? tip : QVariant(QString());
        }
        return displayText(*e, column);
    case Qt::UserRole:
        switch (column) {
        case ActionColumn:
            return int(e->action);
        case StateColumn:
            return int(e->state);
        case KindColumn:
            return int(e->kind);
        case SizeColumn:
            return QVariant::fromValue<quint64>(shownEntry(*e).sizeBytes);
        case BuildTimeColumn:
            return QVariant::fromValue<qint64>(qint64(qint32(shownEntry(*e).buildSeconds)));
        case AdvisoryColumn:
            return e->advisoryKind * 8 + e->advisorySeverity;
        default:
            return QVariant::fromValue<Package::Entry*>(e);
        }
    }
    return QVariant();
}

QVariant Model::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || section < 0 || section >= ColumnCount)
        return QVariant();
    if (role == Qt::DisplayRole) {
        switch (section) {
        case ActionColumn:
            return tr("Action");
        case StateColumn:
            return tr("State");
        case KindColumn:
            return tr("Kind");
        case NameColumn:
            return tr("Name");
        case VersionColumn:
            return tr("Version");
        case RepositoryColumn:
            return tr("Repository");
        case ArchitectureColumn:
            return tr("Architecture");
        case SizeColumn:
            return tr("Size");
        case BuildTimeColumn:
            return tr("Build Time");
        case AdvisoryColumn:
            return tr("Advisory");
        }
    } else if (role == Qt::ToolTipRole) {
        switch (section) {
        case ActionColumn:
            return tr("Action to be performed on the package, if any: Update, Install, Remove");
        case StateColumn:
            return tr("Indicates whether the package is Installed or not and, if installed, "
                      "whether it is Up-to-date or not");
        case KindColumn:
            return tr("Whether the package is an ordinary package, a suite of packages, or a "
                      "group of packages");
        case NameColumn:
            return tr("Name of the package");
        case VersionColumn:
            return tr("Version and release of the package as version-release;\nIf the Epoch is "
                      "non-zero, includes it as epoch:version-release");
        case RepositoryColumn:
            return tr("Repository from which the most recent version of the package is available");
        case ArchitectureColumn:
            return tr("Architecture for which the package is applicable, or \"noarch\" for "
                      "general-purpose packages");
        case SizeColumn:
            return tr("Size of the package");
        case BuildTimeColumn:
            return tr("Date and time at which the package was created");
        case AdvisoryColumn:
            return tr("The most pressing advisory of an update: Security (with its severity), Bug "
                      "fix or Enhancement");
        }
    }
    return QVariant();
}

void Model::actionChanged(int row)
{
    QModelIndex const cell = index(row, ActionColumn);
    emit dataChanged(cell, cell);
}

void Model::setAction(QModelIndex const& index, Package::Action action)
{
    if (!validRow(index))
        return;
    entry(index.row())->action = action;
    actionChanged(index.row());
}

void Model::toggleAction(QModelIndex const& index)
{
    if (!validRow(index))
        return;
    Package::Entry* e = entry(index.row());
    Package::Action next = Package::None;
    switch (e->state) {
    case Package::Updatable:
        if (e->action == Package::None)
            next = e->held() ? Package::Remove : Package::Update;
        else if (e->action == Package::Update)
            next = Package::Remove;
        break;
    case Package::Available:
        if (e->action == Package::None)
            next = Package::Install;
        break;
    case Package::Installed:
        if (e->action == Package::None)
            next = Package::Remove;
        break;
    }
    e->action = next;
    actionChanged(index.row());
}

void Model::describe(QModelIndex const& index, QWidget* parent)
{
    if (!validRow(index))
        return;
    if (!dialog)
        dialog = new Describe::Dialog(parent);
    dialog->config(yumIO, *entry(index.row()), yumConfIO);
    dialog->exec();
}

void Model::browse(QModelIndex const& index, QWidget* parent)
{
    if (!validRow(index))
        return;
    QString const repo = entry(index.row())->repo;
    RepoBrowse::browse(parent, repo, yumIO, yumConfIO);
}

Package::Versions Model::versions(QModelIndex const& index) const
{
    return validRow(index) && yumIO ? yumIO->packageVersions(*entry(index.row()))
                                    : Package::Versions();
}

void Model::setDowngrade(QModelIndex const& index, Package::Version const& version)
{
    if (!validRow(index))
        return;
    Package::Entry* e = entry(index.row());
    e->action = Package::Downgrade;
    e->setDowngradeTo(version.nevra);
    e->setDowngradeVersion(version.version);
    actionChanged(index.row());
}

bool Model::isHeld(QModelIndex const& index) const
{
    return validRow(index) && entry(index.row())->held();
}

bool Model::setHold(QModelIndex const& index, bool hold)
{
    if (!validRow(index) || !yumIO || !yumIO->setHold(*entry(index.row()), hold))
        return false;
    // Every row's hold was read again; a held package keeps its version.
    int const rows = rowCount();
    for (int row = 0; row < rows; ++row) {
        Package::Entry* e = entry(row);
        if (e->held() && (e->action == Package::Update || e->action == Package::Downgrade)) {
            e->action = Package::None;
            actionChanged(row);
        }
    }
    if (rows > 0)
        emit dataChanged(this->index(0, StateColumn), this->index(rows - 1, StateColumn));
    return true;
}

void Model::setInstalledShown(bool shown)
{
    if (shown == showInstalled)
        return;
    showInstalled = shown;
    ++resetCount;
    filterTexts.clear();
}

void Model::reset()
{
    beginResetModel();
    ++resetCount;
    filterTexts.clear();
    endResetModel();
}

void Model::setSelected(QModelIndexList const& indices)
{
    for (QModelIndex const& index : indices) {
        if (!validRow(index))
            continue;
        Package::Entry* e = entry(index.row());
        if (e->state == Package::Updatable && !e->held())
            e->action = Package::Update;
        else if (e->state == Package::Available)
            e->action = Package::Install;
        else
            continue;
        actionChanged(index.row());
    }
}

void Model::markUpdates(bool securityOnly)
{
    int const rows = rowCount();
    for (int row = 0; row < rows; ++row) {
        Package::Entry* e = entry(row);
        if (e->state == Package::Updatable && !e->held()
            && (!securityOnly || e->advisoryKind == Package::SecurityAdvisory)) {
            e->action = Package::Update;
            actionChanged(row);
        }
    }
}

void Model::clearActions()
{
    int const rows = rowCount();
    for (int row = 0; row < rows; ++row) {
        Package::Entry* e = entry(row);
        if (e->action != Package::None) {
            e->action = Package::None;
            actionChanged(row);
        }
    }
}

} // namespace PackageTable

#include "moc_PackageTableModel.cpp"
