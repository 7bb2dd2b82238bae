// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

// A share directory whose webbrowser and mimeviewer programs only write
// down what they are given ("argument count:arguments" a line, in a log of
// each program); VUXSHARE points at it while the object lives. Asked
// whether they can open anything ("--check"), they agree unless refuse()
// gave them a reason not to.
class RecordingBrowser
{
public:
    RecordingBrowser()
        : savedShare(qgetenv("VUXSHARE"))
    {
        for (QString const& name : {QStringLiteral("webbrowser"), QStringLiteral("mimeviewer")}) {
            QFile program(dir.filePath(name));
            if (program.open(QIODevice::WriteOnly))
                program.write("#!/bin/sh\n"
                              "if [ \"$1\" = --check ]; then\n"
                              "    [ -e \"$0.refuse\" ] && cat \"$0.refuse\" >&2 && exit 1\n"
                              "    exit 0\n"
                              "fi\n"
                              "echo \"$#:$*\" >> \"$0.log\"\n");
            program.close();
            program.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        }
        qputenv("VUXSHARE", QFile::encodeName(dir.path()));
    }
    ~RecordingBrowser() { qputenv("VUXSHARE", savedShare); }

    // Makes both programs refuse, with reason on standard error.
    void refuse(QByteArray const& reason)
    {
        for (char const* name : {"webbrowser", "mimeviewer"}) {
            QFile file(dir.filePath(QLatin1String(name) + QStringLiteral(".refuse")));
            if (file.open(QIODevice::WriteOnly))
                file.write(reason);
        }
    }

    // The lines written, once there are expected ones (and a moment later,
    // so that anything late shows here); then forgets them.
    QStringList browsed(int expected, QString const& program = QStringLiteral("webbrowser"))
    {
        QFile log(dir.filePath(program + QStringLiteral(".log")));
        auto const read = [&log] {
            QStringList lines;
            if (log.open(QIODevice::ReadOnly))
                lines = QString::fromLocal8Bit(log.readAll()).split('\n', Qt::SkipEmptyParts);
            log.close();
            return lines;
        };
        (void)QTest::qWaitFor([&] { return read().size() >= expected; });
        QTest::qWait(100);
        QStringList const lines = read();
        log.remove();
        return lines;
    }

private:
    QTemporaryDir dir;
    QByteArray savedShare;
};
