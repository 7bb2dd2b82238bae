// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include "support/ModalAnswerer.h"
#include "support/Sandbox.h"

#include <QHash>
#include <QScopedPointer>
#include <QString>
#include <QTemporaryDir>

#include <climits>
#include <functional>

class HProgressBar;
class QWidget;
class YumIO;

// An engine on a sandbox root, with the window, bars and dialog answerer it
// needs. Every dialog is answered with its first button and recorded.
class EngineFixture
{
public:
    struct Options
    {
        bool http = true; // repositories over HTTP, else file://
        QString larder; // NAME:PASSWORD for larder URLs
        bool larderOnly = false;
        bool group = false;
        QStringList repos; // repositories of the root (empty: base and updates)
        QStringList extra; // more packages installed (name or name-version)
    };

    EngineFixture();
    ~EngineFixture();

    // Builds the root (and the server); false with the reason in error.
    bool prepare(Options const& options);
    // prepare, then starts the engine and, when collect, collects every
    // repository; the reason of a failure in error too, when given.
    bool start(Options const& options, bool collect, QString* reason = nullptr);
    // Repositories read from file:// URLs, without a server.
    static Options local()
    {
        Options options;
        options.http = false;
        return options;
    }

    QString root() const;
    // A copy of the root as it is now, beside it under the name given: the
    // place where dnf makes the same change for a test to compare. Made
    // before the engine starts: a copy of a root the engine holds would hold
    // the engine's locks.
    QString copyRoot(QString const& name) const;
    Sandbox::Server* server() const { return server_.data(); }
    YumIO& engine() { return *engine_; }
    QWidget* window() const { return window_; }
    HProgressBar* totalBar() const { return totalBar_; }
    HProgressBar* itemBar() const { return itemBar_; }
    ModalAnswerer& answerer() { return answerer_; }
    // Why prepare or start (or a suite's start helper) failed.
    QString error;

    // Every repository of the sandbox, used in this session.
    static QHash<QString, bool> allRepos();
    // The engine's refresh: clear, then collect every repository.
    static bool collectAgain(YumIO& engine);

    // How many headings with the text the engine has logged.
    static int headings(YumIO& engine, QString const& text);
    // The texts the engine has logged of a kind (-1: every kind), from its
    // entry first on; and all of them, one a line.
    static QStringList logTexts(YumIO& engine, int kind = -1, int first = 0);
    static QString logged(YumIO& engine) { return logTexts(engine).join(QLatin1Char('\n')); }
    // Runs work with dir bind-mounted read-only (root only); its result.
    static bool readOnly(QString const& dir, std::function<bool()> const& work);

    // The packages of root's rpm database as NAME-EPOCH:VERSION-RELEASE (or
    // in the query format given), sorted.
    static QStringList rpmQa(QString const& root,
        QString const& format = QStringLiteral("%{NAME}-%{EPOCHNUM}:%{VERSION}-%{RELEASE}"));
    // Runs a dnf command line on the root, the way the sandbox configures it,
    // without plugins (they would read the host's configuration, as the
    // companion script reads none); its standard output.
    QString dnf(QStringList const& arguments) const { return dnf(root(), arguments); }
    static QString dnf(QString const& root, QStringList const& arguments);
    // A copy of a root (for the same commands run by dnf); false when it
    // could not be made.
    static bool copyRoot(QString const& root, QString const& copy);
    // Writes (or appends) content to a file; whether all of it was written.
    static bool put(QString const& path, QByteArray const& content, bool append = false);

private:
    QTemporaryDir dir;
    QScopedPointer<Sandbox::Server> server_;
    QWidget* window_ = nullptr;
    HProgressBar* totalBar_ = nullptr;
    HProgressBar* itemBar_ = nullptr;
    YumIO* engine_ = nullptr;
    ModalAnswerer answerer_;
};
