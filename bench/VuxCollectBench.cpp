// Times the engine's collection of every package of a root, without the main
// window: from the engine's start (interpreter, companion script) to a filled
// entry list. With --extra it then times the loading of file lists and change
// logs and one getFiles / getChangeLog for every package.
//
//   vux-collect-bench ROOT [--extra] [--single-calls]
//
// --single-calls collects a second time with the adapters' one-call rows
// taken away (the engine then reads every field with its own call), times
// it and checks that both collections made the same rows.
//
// Prints "key value" lines on stdout; exits 1 when the engine failed or a
// dialog appeared (each dialog's text goes to stderr and the dialog is closed).

#include "python/PythonHeaders.h"

#include "app/Globals.h"
#include "app/InstallRoot.h"
#include "widgets/HProgressBar.h"
#include "yumio/YumIO.h"

#include <QApplication>
#include <QDialog>
#include <QElapsedTimer>
#include <QLabel>
#include <QMessageBox>
#include <QPointer>
#include <QTimer>
#include <QVBoxLayout>
#include <QWidget>

#include <cstdio>
#include <cstdlib>

namespace {

// Closes any modal dialog, keeping what it said: a benchmark that needed a
// dialog has failed.
class DialogCloser : public QObject
{
public:
    DialogCloser()
    {
        timer.setInterval(20);
        connect(&timer, &QTimer::timeout, this, [this] {
            QWidget* dialog = QApplication::activeModalWidget();
            if (!dialog || !dialog->isVisible() || dialog == last)
                return;
            last = dialog;
            QString text = dialog->windowTitle();
            if (auto* box = qobject_cast<QMessageBox*>(dialog))
                text += QLatin1String(": ") + box->text();
            for (QLabel const* label : dialog->findChildren<QLabel*>())
                text += QLatin1Char(' ') + label->text();
            texts.append(text);
            if (auto* modal = qobject_cast<QDialog*>(dialog))
                modal->reject();
            else
                dialog->close();
        });
        timer.start();
    }

    QStringList texts;

private:
    QTimer timer;
    QPointer<QWidget> last;
};

void print(char const* key, double value)
{
    std::printf("%s %.3f\n", key, value);
    std::fflush(stdout);
}

void print(char const* key, qint64 value)
{
    std::printf("%s %lld\n", key, static_cast<long long>(value));
    std::fflush(stdout);
}

double seconds(QElapsedTimer const& timer)
{
    return static_cast<double>(timer.nsecsElapsed()) / 1e9;
}

// Every field of every row, sorted: two collections of the same root give
// the same list.
QStringList snapshot(YumIO const& engine)
{
    QStringList rows;
    for (Package::Entry const* entry : engine)
        for (Package::Entry const* e = entry; e; e = e->next)
            rows.append(QStringList {QString::number(e->kind), QString::number(e->state), e->name,
                e->verRel, e->repo, e->arch, QString::number(e->sizeBytes), e->size, e->summary,
                QString::number(e->buildSeconds), e->buildTime, QString::number(e->next != nullptr)}
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
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    // The companion script of this source tree unless told otherwise.
    if (!qEnvironmentVariableIsSet("VUXSHARE"))
        qputenv("VUXSHARE", VUX_SOURCE_SHARE);
    QApplication app(argc, argv);
    application = &app;
    QStringList const args = QApplication::arguments().mid(1);
    if (args.isEmpty() || args.first().startsWith(QLatin1Char('-'))) {
        std::fprintf(stderr, "usage: vux-collect-bench ROOT [--extra]\n");
        return 2;
    }
    bool const extra = args.contains(QStringLiteral("--extra"));
    bool const singleCalls = args.contains(QStringLiteral("--single-calls"));
    DialogCloser closer;
    int status = 0;
    {
        QElapsedTimer timer;
        timer.start();
        InstallRoot::set(args.first());
        QWidget window;
        auto* layout = new QVBoxLayout(&window);
        auto* totalBar = new HProgressBar(&window);
        auto* itemBar = new HProgressBar(&window);
        layout->addWidget(totalBar);
        layout->addWidget(itemBar);
        YumIO engine;
        engine.setup(&window, totalBar, itemBar);
        // The configuration's enabled repositories, as a first start uses them.
        bool ok = engine.initialize() && engine.collect(QHash<QString, bool>());
        print("collect_seconds", seconds(timer));
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

        if (ok && singleCalls) {
            QStringList const rows = snapshot(engine);
            {
                PyGILState_STATE const state = PyGILState_Ensure();
                ok = PyRun_SimpleString("import __main__\n"
                                        "del __main__.Package.tableRow\n")
                    == 0;
                PyGILState_Release(state);
            }
            engine.clear();
            timer.restart();
            ok = ok && engine.collect(QHash<QString, bool>());
            print("single_calls_seconds", seconds(timer));
            bool const same = ok && snapshot(engine) == rows;
            print("single_calls_match", static_cast<qint64>(same));
            if (!same)
                status = 1;
        }

        if (ok && extra) {
            QList<Package::Entry*> const packages = packageEntries(engine);
            // The first repository package's files make the engine load the
            // file lists; then every package is asked once.
            Package::Entry* probe = nullptr;
            for (Package::Entry* e : packages)
                if (e->state != Package::Installed) {
                    probe = e;
                    break;
                }
            timer.restart();
            ok = probe && engine.collectFileLists();
            print("filelists_load_seconds", seconds(timer));
            timer.restart();
            qint64 files = 0;
            for (Package::Entry* e : packages) {
                QString const text = engine.getFiles(*e);
                if (!text.isEmpty())
                    files += text.count(QLatin1Char('\n')) + 1;
            }
            print("getfiles_seconds", seconds(timer));
            print("files", files);

            timer.restart();
            ok = engine.collectOtherData() && ok;
            print("changelogs_load_seconds", seconds(timer));
            timer.restart();
            qint64 records = 0;
            for (Package::Entry* e : packages) {
                QString const text = engine.getChangeLog(*e);
                if (!text.isEmpty())
                    records += text.count(QLatin1String("\n\n* ")) + 1;
            }
            print("getchangelog_seconds", seconds(timer));
            print("changelog_records", records);
            print("packages", static_cast<qint64>(packages.size()));
            if (!ok)
                status = 1;
        }
    }
    for (QString const& text : closer.texts)
        std::fprintf(stderr, "dialog: %s\n", qPrintable(text));
    if (!closer.texts.isEmpty())
        status = 1;
    return status;
}
