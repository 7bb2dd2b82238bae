// SPDX-License-Identifier: GPL-2.0-or-later
#include "yumio/YumIODialogs.h"

#include "base/Globals.h"
#include "yumio/YumIODialogsMinion.h"

#include <QApplication>
#include <QThread>

namespace {

QThread* guiThread()
{
    QCoreApplication* app = application ? application : QCoreApplication::instance();
    return app ? app->thread() : QThread::currentThread();
}

} // namespace

YumIODialogs::YumIODialogs(QWidget* parent)
    : minion(new YumIODialogsMinion(parent))
{
    minion->moveToThread(guiThread());
    // Automatic connections: queued from a worker, direct in the GUI thread.
    connect(minion, &YumIODialogsMinion::setResult, this, &YumIODialogs::setResult);
    connect(this, &YumIODialogs::confirmSig, minion, &YumIODialogsMinion::confirm);
    connect(this, &YumIODialogs::warningSig, minion, &YumIODialogsMinion::warning);
    connect(this, &YumIODialogs::criticalSig, minion, &YumIODialogsMinion::critical);
    connect(this, &YumIODialogs::scrollableSig, minion, &YumIODialogsMinion::scrollable);
}

YumIODialogs::~YumIODialogs()
{
    minion->deleteLater();
}

// Each request clears done before emitting: asked from the GUI thread the
// answer arrives inside the emit, and must not be wiped out afterwards.
int YumIODialogs::confirm(QString const& caption, QString const& text)
{
    done = false;
    emit confirmSig(caption, text);
    return waitForResult();
}

int YumIODialogs::warning(QString const& caption, QString const& text, QString const& button0Text,
    QString const& button1Text, QString const& button2Text, int defaultButtonNumber,
    int escapeButtonNumber)
{
    done = false;
    emit warningSig(caption, text, button0Text, button1Text, button2Text, defaultButtonNumber,
        escapeButtonNumber);
    return waitForResult();
}

int YumIODialogs::critical(QString const& caption, QString const& text, QString const& button0Text,
    QString const& button1Text, QString const& button2Text, int defaultButtonNumber,
    int escapeButtonNumber)
{
    done = false;
    emit criticalSig(caption, text, button0Text, button1Text, button2Text, defaultButtonNumber,
        escapeButtonNumber);
    return waitForResult();
}

void YumIODialogs::scrollable(QString const& caption, QString const& text)
{
    done = false;
    emit scrollableSig(caption, text);
    waitForResult();
}

int YumIODialogs::waitForResult()
{
    if (!done) {
        ++waits;
        loop.exec(QEventLoop::ExcludeUserInputEvents);
    }
    return result;
}

void YumIODialogs::setResult(int value)
{
    done = true;
    result = value;
    loop.quit();
}

#include "moc_YumIODialogs.cpp"
