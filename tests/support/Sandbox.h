// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include <QJsonObject>
#include <QProcess>
#include <QString>
#include <QStringList>

// The C++ front of scripts/sandbox.py: real RPMs, repositories and
// sandbox roots, and a repository server on 127.0.0.1.
namespace Sandbox {

// Runs sandbox.py with the arguments; the parsed JSON it prints, or an empty
// object (with the reason in error) when it fails.
QJsonObject run(QStringList const& arguments, QString* error = nullptr);

// Builds (or reuses) the repositories: {"cache": ..., "repos": {id: path}}.
QJsonObject repos(QString* error = nullptr);

// A repository server for the life of the object.
class Server
{
public:
    explicit Server(QString const& larder = QString(), bool larderOnly = false,
        QString const& tree = QString());
    ~Server();
    Server(Server const&) = delete;
    Server& operator=(Server const&) = delete;

    bool isRunning() const { return port_ > 0; }
    int port() const { return port_; }
    QString url() const { return QStringLiteral("http://127.0.0.1:%1").arg(port_); }

private:
    QProcess process;
    int port_ = 0;
};

} // namespace Sandbox
