// SPDX-License-Identifier: GPL-2.0-or-later
#include "support/Sandbox.h"

#include "config-vux-tests.h"

#include <QCoreApplication>
#include <QJsonDocument>
#include <QProcessEnvironment>

namespace {

QProcessEnvironment environment()
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    if (!env.contains(QStringLiteral("VUX_SANDBOX_CACHE")))
        env.insert(QStringLiteral("VUX_SANDBOX_CACHE"), QStringLiteral(VUX_SANDBOX_CACHE));
    return env;
}

} // namespace

QJsonObject Sandbox::run(QStringList const& arguments, QString* error)
{
    QProcess process;
    process.setProcessEnvironment(environment());
    process.start(QStringLiteral(VUX_TEST_PYTHON),
        QStringList {QStringLiteral(VUX_SANDBOX_SCRIPT)} + arguments);
    // Building the repositories the first time takes a while.
    if (!process.waitForFinished(600000) || process.exitStatus() != QProcess::NormalExit
        || process.exitCode() != 0) {
        if (error)
            *error = QStringLiteral("sandbox.py %1 failed: %2")
                         .arg(arguments.join(QLatin1Char(' ')),
                             QString::fromLocal8Bit(process.readAllStandardError()));
        return QJsonObject();
    }
    QJsonParseError parseError;
    QJsonDocument const document
        = QJsonDocument::fromJson(process.readAllStandardOutput(), &parseError);
    if (!document.isObject()) {
        if (error)
            *error = QStringLiteral("sandbox.py printed no JSON: %1").arg(parseError.errorString());
        return QJsonObject();
    }
    return document.object();
}

QJsonObject Sandbox::repos(QString* error)
{
    return run(QStringList {QStringLiteral("repos")}, error);
}

Sandbox::Server::Server(QString const& larder, bool larderOnly, QString const& tree)
{
    QStringList arguments {QStringLiteral(VUX_SANDBOX_SCRIPT), QStringLiteral("serve")};
    if (!larder.isEmpty())
        arguments << QStringLiteral("--larder") << larder;
    if (larderOnly)
        arguments << QStringLiteral("--larder-only");
    if (!tree.isEmpty())
        arguments << QStringLiteral("--tree") << tree;
    // The server goes when this process goes, even after a crash.
    arguments << QStringLiteral("--watch-pid")
              << QString::number(QCoreApplication::applicationPid());
    process.setProcessEnvironment(environment());
    process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    process.start(QStringLiteral(VUX_TEST_PYTHON), arguments);
    if (!process.waitForStarted(30000))
        return;
    while (process.state() == QProcess::Running && !process.canReadLine())
        process.waitForReadyRead(600000);
    port_ = QString::fromLatin1(process.readLine()).trimmed().toInt();
}

Sandbox::Server::~Server()
{
    if (process.state() != QProcess::NotRunning) {
        process.terminate();
        if (!process.waitForFinished(10000)) {
            process.kill();
            process.waitForFinished(10000);
        }
    }
}
