// SPDX-License-Identifier: GPL-2.0-or-later
// Times the engine's collection of every package of a root, without the main
// window: from the engine's start (interpreter, companion script) to a filled
// entry list. With --files it then times the loading of file lists and one
// getFiles for every package, with --changelogs the loading of change logs and
// one getChangeLog for every package (--extra: both).
//
//   vux-collect-bench ROOT [--extra | --files | --changelogs] [--single-calls]
//
// --single-calls collects a second time with the adapters' one-call rows
// taken away (the engine then reads every field with its own call), times
// it and checks that both collections made the same rows.
//
// Prints "key value" lines on stdout; exits 1 when the engine failed or a
// dialog appeared (each dialog's text goes to stderr and the dialog is closed).

#include "python/PythonHeaders.h"

#include "base/Globals.h"
#include "yumio/YumIO.h"

#include "BenchSupport.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QRegularExpression>
#include <QTimer>

#include <cstdio>
#include <cstdlib>
#include <ctime>

namespace {

void print(char const* key, qint64 value)
{
    std::printf("%s %lld\n", key, static_cast<long long>(value));
    std::fflush(stdout);
}

// Wall and processor time of a step: on a shared machine the processor time
// of both sides of a comparison is the steadier figure.
class Stopwatch
{
public:
    Stopwatch() { restart(); }

    void restart()
    {
        wall.start();
        cpu = std::clock();
    }

    void stop()
    {
        wallSeconds = static_cast<double>(wall.nsecsElapsed()) / 1e9;
        cpuSeconds = static_cast<double>(std::clock() - cpu) / CLOCKS_PER_SEC;
    }

    // Prints "NAME_seconds WALL" and "NAME_cpu CPU" of the time since
    // restart().
    void print(char const* name)
    {
        stop();
        std::printf("%s_seconds %.3f\n%s_cpu %.3f\n", name, wallSeconds, name, cpuSeconds);
        std::fflush(stdout);
    }

    double wallSeconds = 0;
    double cpuSeconds = 0;

private:
    QElapsedTimer wall;
    std::clock_t cpu = 0;
};

// Asks every package once through ask (which gives a count, cheap beside
// the call) and prints the time: NAME_repo for the repository packages,
// NAME_installed for the installed ones (read from the rpm database), NAME
// for both.
template <typename Ask>
qint64 askEvery(QList<Package::Entry*> const& packages, char const* name, Ask ask)
{
    QList<Package::Entry*> parts[2];
    for (Package::Entry* e : packages)
        parts[e->repo == QLatin1String("installed") ? 1 : 0].append(e);
    char const* const suffixes[2] = {"_repo", "_installed"};
    double wall = 0;
    double cpu = 0;
    qint64 count = 0;
    for (int part = 0; part < 2; ++part) {
        Stopwatch watch;
        for (Package::Entry* e : parts[part])
            count += ask(*e);
        watch.print(QByteArray(QByteArray(name) + suffixes[part]).constData());
        wall += watch.wallSeconds;
        cpu += watch.cpuSeconds;
    }
    std::printf("%s_seconds %.3f\n%s_cpu %.3f\n", name, wall, name, cpu);
    return count;
}

// Every field of every row, sorted: two collections of the same root give
// the same list.
QStringList snapshot(YumIO const& engine)
{
    QStringList rows;
    for (Package::Entry const* entry : engine)
        for (Package::Entry const* e = entry; e; e = e->next)
            rows.append(QStringList {QString::number(e->kind), QString::number(e->state), e->name,
                e->verRel, e->repo, e->arch, QString::number(e->sizeBytes), e->size(),
                QString::fromUtf8(e->summary), QString::number(e->buildSeconds), e->buildTime(),
                QString::number(e->next != nullptr)}
                            .join(QLatin1Char('|')));
    rows.sort();
    return rows;
}

// Every package entry with the installed versions chained behind it.
QList<Package::Entry*> packageEntries(YumIO const& engine)
{
    QList<Package::Entry*> result;
    for (Package::Entry* entry : engine)
        for (Package::Entry* e = entry; e; e = e->next)
            if (e->kind != Package::Group)
                result.append(e);
    return result;
}

} // namespace

int main(int argc, char** argv)
{
    BenchApplication app(argc, argv);
    QStringList const args = app.operands();
    if (args.isEmpty() || args.first().startsWith(QLatin1Char('-'))) {
        std::fprintf(stderr,
            "usage: vux-collect-bench ROOT [--extra | --files | --changelogs] [--single-calls]\n");
        return 2;
    }
    bool const extra = args.contains(QStringLiteral("--extra"));
    bool const fileLists = extra || args.contains(QStringLiteral("--files"));
    bool const changeLogs = extra || args.contains(QStringLiteral("--changelogs"));
    bool const singleCalls = args.contains(QStringLiteral("--single-calls"));
    BenchDialogs closer;
    int status = 0;
    {
        Stopwatch timer;
        BenchEngine bench(args.first());
        YumIO& engine = bench.engine;
        bool ok = bench.start();
        timer.print("collect");
        if (!ok)
            status = 1;

        qint64 states[3] = {0, 0, 0};
        qint64 groups = 0;
        qint64 chained = 0;
        for (Package::Entry const* entry : engine) {
            if (entry->kind == Package::Group) {
                ++groups;
                continue;
            }
            ++states[entry->state];
            for (Package::Entry const* e = entry->next; e; e = e->next)
                ++chained;
        }
        print("entries", static_cast<qint64>(engine.count()));
        print("updatable", states[Package::Updatable]);
        print("available", states[Package::Available]);
        print("installed", states[Package::Installed]);
        print("chained_installed", chained);
        print("groups", groups);
        // The collection's advisory step, as the engine logged it.
        qint64 advised = 0;
        for (Package::Entry const* entry : engine)
            advised += entry->advisoryKind != Package::NoAdvisory;
        print("advised", advised);
        static QRegularExpression const advisoryLine(
            QStringLiteral("^Read the advisories of \\d+ updates in ([0-9.]+) seconds$"));
        for (Log::Entry const& line : std::as_const(engine.logEntries())) {
            QRegularExpressionMatch const match = advisoryLine.match(line.text);
            if (match.hasMatch())
                std::printf("advisories_seconds %s\n", qPrintable(match.captured(1)));
        }
        std::fflush(stdout);

        if (ok && singleCalls) {
            QStringList const rows = snapshot(engine);
            {
                PyGILState_STATE const state = PyGILState_Ensure();
                ok = PyRun_SimpleString("import YumIOPackages\n"
                                        "del YumIOPackages.Package.tableRow\n")
                    == 0;
                PyGILState_Release(state);
            }
            engine.clear();
            timer.restart();
            ok = ok && engine.collect(QHash<QString, bool>());
            timer.print("single_calls");
            bool const same = ok && snapshot(engine) == rows;
            print("single_calls_match", static_cast<qint64>(same));
            if (!same)
                status = 1;
        }

        QList<Package::Entry*> const packages = packageEntries(engine);
        if (ok && fileLists) {
            timer.restart();
            ok = engine.collectFileLists();
            timer.print("filelists_load");
            qint64 const files = askEvery(packages, "getfiles", [&engine](Package::Entry& e) {
                QString const text = engine.getFiles(e);
                return text.isEmpty() ? 0 : text.count(QLatin1Char('\n')) + 1;
            });
            print("files", files);
        }
        if (ok && changeLogs) {
            timer.restart();
            ok = engine.collectOtherData();
            timer.print("changelogs_load");
            qint64 const records = askEvery(packages, "getchangelog", [&engine](Package::Entry& e) {
                QString const text = engine.getChangeLog(e);
                return text.isEmpty() ? 0 : text.count(QLatin1String("\n\n* ")) + 1;
            });
            print("changelog_records", records);
        }
        print("packages", static_cast<qint64>(packages.size()));
        if (!ok)
            status = 1;
    }
    for (QString const& text : closer.texts)
        std::fprintf(stderr, "dialog: %s\n", qPrintable(text));
    if (!closer.texts.isEmpty())
        status = 1;
    return status;
}
