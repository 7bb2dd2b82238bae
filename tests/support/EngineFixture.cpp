// SPDX-License-Identifier: GPL-2.0-or-later
#include "support/EngineFixture.h"

#include "base/InstallRoot.h"
#include "widgets/HProgressBar.h"
#include "yumio/YumIO.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QMutexLocker>
#include <QProcess>
#include <QVBoxLayout>
#include <QWidget>

EngineFixture::EngineFixture()
{
    answerer_.alwaysClick(QStringLiteral("button0"));
    answerer_.alwaysClick(QStringLiteral("closeButton"));
}

EngineFixture::~EngineFixture()
{
    delete engine_;
    delete window_;
}

bool EngineFixture::prepare(Options const& options)
{
    if (!dir.isValid()) {
        error = QStringLiteral("no temporary directory");
        return false;
    }
    QStringList arguments {QStringLiteral("root"), root()};
    if (options.http) {
        server_.reset(new Sandbox::Server(options.larder, options.larderOnly));
        if (!server_->isRunning()) {
            error = QStringLiteral("the repository server did not start");
            return false;
        }
        arguments << QStringLiteral("--url-base") << server_->url();
        if (!options.larder.isEmpty())
            arguments << QStringLiteral("--larder") << options.larder;
    }
    if (!options.repos.isEmpty())
        arguments << QStringLiteral("--repos") << options.repos.join(QLatin1Char(','));
    if (options.group)
        arguments << QStringLiteral("--group");
    if (!options.extra.isEmpty())
        arguments << QStringLiteral("--extra") << options.extra.join(QLatin1Char(','));
    if (Sandbox::run(arguments, &error).isEmpty())
        return false;
    InstallRoot::set(root());

    window_ = new QWidget;
    auto* layout = new QVBoxLayout(window_);
    totalBar_ = new HProgressBar(window_);
    itemBar_ = new HProgressBar(window_);
    layout->addWidget(totalBar_);
    layout->addWidget(itemBar_);
    engine_ = new YumIO;
    engine_->setup(window_, totalBar_, itemBar_);
    return true;
}

bool EngineFixture::start(Options const& options, bool collect, QString* reason)
{
    if (prepare(options) && (!engine_->initialize() || (collect && !engine_->collect(allRepos()))))
        error = QStringLiteral("the engine did not start and collect");
    if (reason)
        *reason = error;
    return error.isEmpty();
}

QString EngineFixture::root() const
{
    return dir.path() + QStringLiteral("/root");
}

QString EngineFixture::copyRoot(QString const& name) const
{
    QString const copy = dir.path() + QLatin1Char('/') + name;
    return copyRoot(root(), copy) ? copy : QString();
}

QHash<QString, bool> EngineFixture::allRepos()
{
    return QHash<QString, bool> {{QStringLiteral("base"), true}, {QStringLiteral("updates"), true}};
}

bool EngineFixture::collectAgain(YumIO& engine)
{
    engine.clear();
    return engine.collect(allRepos());
}

int EngineFixture::headings(YumIO& engine, QString const& text)
{
    QMutexLocker locker(&engine.logEntries());
    int count = 0;
    for (Log::Entry const& entry : engine.logEntries())
        count += entry.kind == Log::Heading && entry.text == text;
    return count;
}

QStringList EngineFixture::logTexts(YumIO& engine, int kind, int first)
{
    QMutexLocker locker(&engine.logEntries());
    QStringList texts;
    for (Log::Entry const& entry : engine.logEntries().mid(first))
        if (kind < 0 || entry.kind == kind)
            texts.append(entry.text);
    return texts;
}

bool EngineFixture::readOnly(QString const& dir, std::function<bool()> const& work)
{
    QProcess::execute(QStringLiteral("mount"), {QStringLiteral("--bind"), dir, dir});
    QProcess::execute(
        QStringLiteral("mount"), {QStringLiteral("-o"), QStringLiteral("remount,bind,ro"), dir});
    bool const result = work();
    QProcess::execute(QStringLiteral("umount"), {dir});
    return result;
}

QStringList EngineFixture::rpmQa(QString const& root, QString const& format)
{
    QProcess process;
    process.start(QStringLiteral("rpm"),
        {QStringLiteral("--root"), root, QStringLiteral("-qa"), QStringLiteral("--qf"),
            format + QStringLiteral("\\n")});
    process.waitForFinished(60000);
    QStringList lines = QString::fromUtf8(process.readAllStandardOutput())
                            .split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    lines.sort();
    return lines;
}

QString EngineFixture::dnf(QString const& root, QStringList const& arguments)
{
    QProcess process;
    process.start(QStringLiteral("dnf"),
        QStringList {QStringLiteral("-q"), QStringLiteral("--noplugins"),
            QStringLiteral("--installroot=") + root,
            QStringLiteral("--config=") + root + QStringLiteral("/etc/yum.conf"),
            QStringLiteral("--setopt=reposdir=") + root + QStringLiteral("/etc/yum.repos.d"),
            QStringLiteral("--setopt=cachedir=") + root + QStringLiteral("/var/cache/dnf-list"),
            QStringLiteral("--setopt=exit_on_lock=True"), QStringLiteral("--releasever=1")}
            + arguments);
    process.waitForFinished(300000);
    return QString::fromLocal8Bit(process.readAllStandardOutput());
}

bool EngineFixture::copyRoot(QString const& root, QString const& copy)
{
    if (QProcess::execute(QStringLiteral("cp"), {QStringLiteral("-a"), root, copy}) != 0)
        return false;
    // The package manager's lock files came along naming this process: the
    // copy is nobody's, and dnf would wait on it for ever.
    QDirIterator locks(
        copy, {QStringLiteral("*_lock.pid")}, QDir::Files, QDirIterator::Subdirectories);
    while (locks.hasNext())
        QFile::remove(locks.next());
    return true;
}

bool EngineFixture::put(QString const& path, QByteArray const& content, bool append)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly | (append ? QIODevice::Append : QIODevice::Truncate))
        && file.write(content) == content.size();
}
