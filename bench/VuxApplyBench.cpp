// Times the engine applying one transaction without the main window: the
// engine starts, collects the root's packages, marks the named packages and
// applies, the confirmation accepted at once.
//
//   vux-apply-bench ROOT install|remove NAME...
//
// Prints "key value" lines on stdout (apply_seconds from the press of the
// button to the end of the transaction, total_seconds with the start and
// collection); exits 1 when the apply failed or another dialog appeared.

#include "app/Globals.h"
#include "app/InstallRoot.h"
#include "widgets/HProgressBar.h"
#include "yumio/YumIO.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDialog>
#include <QElapsedTimer>
#include <QPointer>
#include <QTimer>
#include <QVBoxLayout>
#include <QWidget>

#include <cstdio>

namespace {

// Accepts the transaction's confirmation; any other dialog is a failure,
// reported on stderr and closed.
class Confirmer : public QObject
{
public:
    Confirmer()
    {
        timer.setInterval(5);
        connect(&timer, &QTimer::timeout, this, [this] {
            QWidget* dialog = QApplication::activeModalWidget();
            if (!dialog || !dialog->isVisible() || dialog == last)
                return;
            last = dialog;
            if (auto* ok = dialog->findChild<QAbstractButton*>(QStringLiteral("okButton"))) {
                ok->click();
                return;
            }
            ++failures;
            std::fprintf(stderr, "dialog: %s\n", qPrintable(dialog->windowTitle()));
            if (auto* modal = qobject_cast<QDialog*>(dialog))
                modal->reject();
            else
                dialog->close();
        });
        timer.start();
    }
    int failures = 0;

private:
    QTimer timer;
    QPointer<QWidget> last;
};

double seconds(QElapsedTimer const& timer)
{
    return static_cast<double>(timer.nsecsElapsed()) / 1e9;
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    if (!qEnvironmentVariableIsSet("VUXSHARE"))
        qputenv("VUXSHARE", VUX_SOURCE_SHARE);
    QApplication app(argc, argv);
    application = &app;
    QStringList const args = QApplication::arguments().mid(1);
    if (args.size() < 3
        || (args[1] != QLatin1String("install") && args[1] != QLatin1String("remove"))) {
        std::fprintf(stderr, "usage: vux-apply-bench ROOT install|remove NAME...\n");
        return 2;
    }
    Package::Action const action
        = args[1] == QLatin1String("install") ? Package::Install : Package::Remove;
    Confirmer confirmer;
    bool ok = false;
    {
        QElapsedTimer total;
        total.start();
        InstallRoot::set(args.first());
        QWidget window;
        auto* layout = new QVBoxLayout(&window);
        auto* totalBar = new HProgressBar(&window);
        auto* itemBar = new HProgressBar(&window);
        layout->addWidget(totalBar);
        layout->addWidget(itemBar);
        YumIO engine;
        engine.setup(&window, totalBar, itemBar);
        ok = engine.initialize() && engine.collect(QHash<QString, bool>());
        for (QString const& name : args.mid(2)) {
            Package::Entry* entry = ok ? engine.findEntry(false, name) : nullptr;
            if (!entry) {
                std::fprintf(stderr, "no package %s\n", qPrintable(name));
                ok = false;
                break;
            }
            entry->action = action;
        }
        if (ok) {
            QElapsedTimer timer;
            timer.start();
            ok = engine.apply();
            std::printf("apply_seconds %.3f\n", seconds(timer));
        }
        std::printf("total_seconds %.3f\n", seconds(total));
    }
    return ok && confirmer.failures == 0 ? 0 : 1;
}
