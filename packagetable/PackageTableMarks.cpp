// SPDX-License-Identifier: GPL-2.0-or-later
#include "packagetable/PackageTableMarks.h"

#include "packagetable/PackageTableModel.h"
#include "repo/AtomicFile.h"
#include "yumio/YumIO.h"

#include <QFile>
#include <QHash>
#include <QMessageBox>
#include <QPushButton>
#include <QRegularExpression>

#include <algorithm>
#include <cstring>

namespace PackageTable {

namespace {

char const* actionWord(Package::Action action)
{
    switch (action) {
    case Package::Install:
        return "install";
    case Package::Update:
        return "update";
    case Package::Remove:
        return "remove";
    case Package::Reinstall:
        return "reinstall";
    case Package::Downgrade:
        return "downgrade";
    case Package::None:
        break;
    }
    return nullptr;
}

QString nevra(Package::Entry const& e)
{
    return e.name + QLatin1Char('-') + e.verRel + QLatin1Char('.') + e.arch;
}

// The entry a package target names and the version it asks for (empty:
// any). Targets are tried as a name, then as NAME-VERSION-RELEASE.ARCH and
// NAME-VERSION-RELEASE (names may hold dashes and dots themselves).
Package::Entry* findTarget(YumIO const& engine, QString const& target, QString* version)
{
    version->clear();
    if (Package::Entry* e = engine.findEntry(false, target))
        return e;
    int const dot = target.lastIndexOf(QLatin1Char('.'));
    for (QString const& base : {dot > 0 ? target.left(dot) : QString(), target}) {
        int const dash2 = base.lastIndexOf(QLatin1Char('-'));
        int const dash1 = dash2 > 0 ? base.lastIndexOf(QLatin1Char('-'), dash2 - 1) : -1;
        if (dash1 <= 0)
            continue;
        if (Package::Entry* e = engine.findEntry(false, base.left(dash1))) {
            *version = target.mid(dash1 + 1);
            return e;
        }
    }
    return nullptr;
}

// Whether entry e offers version (VERSION-RELEASE or VERSION-RELEASE.ARCH)
// for the action: the version it brings for installs and updates, an
// installed one for removals and reinstalls.
bool offers(Package::Entry const& e, Package::Action action, QString const& version)
{
    auto same = [&version](Package::Entry const& v) {
        return version == v.verRel || version == v.verRel + QLatin1Char('.') + v.arch;
    };
    if (action != Package::Remove && action != Package::Reinstall)
        return same(e);
    for (Package::Entry const* v = e.state == Package::Updatable ? e.next : &e; v; v = v->next)
        if (same(*v))
            return true;
    return false;
}

// A message with one button, "okButton".
void tell(QWidget* parent, QMessageBox::Icon icon, QString const& text,
    QString const& informative = QString())
{
    QMessageBox box(icon, Marks::tr("VUX Marks"), text, QMessageBox::Ok, parent);
    box.button(QMessageBox::Ok)->setObjectName(QStringLiteral("okButton"));
    box.setInformativeText(informative);
    box.exec();
}

} // namespace

QByteArray Marks::text(Model const& model)
{
    QString text
        = QStringLiteral("# Vux marks: one action and package a line (install, update, remove,\n"
                         "# reinstall or downgrade NAME, NAME-VERSION-RELEASE.ARCH or @GROUP).\n");
    for (int row = 0; row < model.rowCount(); ++row) {
        Package::Entry const& e = *model.entry(row);
        char const* word = actionWord(e.action);
        if (!word)
            continue;
        QString target = e.name;
        if (e.kind == Package::Group)
            target = QLatin1Char('@') + e.name;
        else if (e.action == Package::Downgrade)
            target = e.name + QLatin1Char('-') + e.downgradeVersion() + QLatin1Char('.')
                + e.downgradeTo().section(QLatin1Char('.'), -1);
        else if (e.action != Package::Remove && e.action != Package::Reinstall)
            target = nevra(e);
        text += QLatin1String(word) + QLatin1Char(' ') + target + QLatin1Char('\n');
    }
    return text.toUtf8();
}

Marks::Reading Marks::read(QByteArray const& bytes, Model const& model)
{
    Reading reading;
    YumIO const* engine = model.engine();
    QStringList const lines = QString::fromUtf8(bytes).split(QLatin1Char('\n'));
    for (int i = 0; i < lines.size(); ++i) {
        QString const line = lines.at(i).trimmed();
        if (line.isEmpty() || line.startsWith(QLatin1Char('#')))
            continue;
        int const blank = line.indexOf(QRegularExpression(QStringLiteral("\\s")));
        QString const word = blank < 0 ? line : line.left(blank);
        QString const target = blank < 0 ? QString() : line.mid(blank + 1).trimmed();
        Package::Action action = Package::None;
        for (Package::Action candidate : {Package::Install, Package::Update, Package::Remove,
                 Package::Reinstall, Package::Downgrade})
            if (word == QLatin1String(actionWord(candidate)))
                action = candidate;
        if (action == Package::None || target.isEmpty() || target == QLatin1String("@")) {
            reading = Reading();
            reading.ok = false;
            reading.error = tr("Line %1 is not an action and a package (install, update, "
                               "remove, reinstall or downgrade NAME): %2")
                                .arg(i + 1)
                                .arg(line);
            return reading;
        }
        auto problem = [&](QString const& why) {
            reading.problems << tr("Line %1: %2: %3").arg(i + 1).arg(target, why);
        };
        QString version;
        bool const group = target.startsWith(QLatin1Char('@'));
        Package::Entry* e = !engine ? nullptr
            : group                 ? engine->findEntry(true, target.mid(1))
                                    : findTarget(*engine, target, &version);
        if (!e) {
            problem(group ? tr("no such group here") : tr("no such package here"));
            continue;
        }
        bool const allowed = action == Package::Install ? e->state == Package::Available
            : action == Package::Update                 ? e->state == Package::Updatable
                                                        : e->state != Package::Available;
        if (!allowed) {
            problem(action == Package::Install  ? tr("already installed")
                    : action == Package::Update ? tr("no update available")
                                                : tr("not installed"));
            continue;
        }
        Reading::Mark mark {e, action, {}};
        if (action == Package::Reinstall || action == Package::Downgrade) {
            // What the repositories offer the installed package.
            int row = 0;
            while (model.entry(row) != e)
                ++row;
            Package::Versions const versions = model.versions(model.index(row, 0));
            auto const older = std::find_if(versions.older.cbegin(), versions.older.cend(),
                [&version](Package::Version const& v) {
                    return version == v.version
                        || version
                        == v.version + v.nevra.mid(v.nevra.lastIndexOf(QLatin1Char('.')));
                });
            if (action == Package::Reinstall ? !versions.reinstallable
                                             : older == versions.older.cend()) {
                problem(action == Package::Reinstall
                        ? tr("no repository has the installed version")
                        : tr("no repository has version %1 to downgrade to").arg(version));
                continue;
            }
            if (action == Package::Downgrade) {
                mark.downgradeTo = *older;
                version.clear();
            }
        }
        if (!version.isEmpty() && !offers(*e, action, version)) {
            problem(tr("version %1 is not offered here (%2 is)").arg(version, e->verRel));
            continue;
        }
        reading.marks.append(mark);
    }
    return reading;
}

bool Marks::exportFile(QWidget* parent, Model const& model, QString const& path)
{
    int const error = AtomicFile::replace(path, text(model), 0644);
    if (error == 0)
        return true;
    tell(parent, QMessageBox::Critical,
        tr("The marks could not be written to %1: %2")
            .arg(path, QString::fromLocal8Bit(strerror(error))));
    return false;
}

bool Marks::importFile(QWidget* parent, Model& model, QString const& path)
{
    QFile file(path);
    QString failure;
    QByteArray bytes;
    if (!file.open(QIODevice::ReadOnly))
        failure = file.errorString();
    else if (file.size() > maxFileSize)
        failure = tr("the file is too large to be a list of marks");
    else {
        bytes = file.readAll();
        if (file.error() != QFileDevice::NoError)
            failure = file.errorString();
    }
    Reading const reading = failure.isEmpty() ? read(bytes, model) : Reading();
    if (!failure.isEmpty() || !reading.ok) {
        tell(parent, QMessageBox::Critical,
            tr("Nothing was marked: %1 could not be read.\n%2")
                .arg(path, failure.isEmpty() ? reading.error : failure));
        return false;
    }
    QHash<Package::Entry const*, int> rows;
    for (int row = 0; row < model.rowCount(); ++row)
        rows.insert(model.entry(row), row);
    for (auto const& mark : reading.marks) {
        QModelIndex const index = model.index(rows.value(mark.entry, -1), ActionColumn);
        if (mark.action == Package::Downgrade)
            model.setDowngrade(index, mark.downgradeTo);
        else
            model.setAction(index, mark.action);
    }
    if (!reading.problems.isEmpty()) {
        // The first lines, enough to know what to look for in the file.
        int const shown = 20;
        QStringList lines = reading.problems.mid(0, shown);
        if (reading.problems.size() > shown)
            lines << tr("... and %n more", "", int(reading.problems.size()) - shown);
        tell(parent, QMessageBox::Warning,
            tr("%n line(s) of %1 name what cannot be marked here; the other marks were set.", "",
                int(reading.problems.size()))
                .arg(path),
            lines.join(QLatin1Char('\n')));
    }
    return !reading.marks.isEmpty();
}

} // namespace PackageTable
