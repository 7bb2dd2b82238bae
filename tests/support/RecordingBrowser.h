#pragma once

#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

// A share directory whose webbrowser program only writes down what it is
// given ("argument count:first argument" a line); VUXSHARE points at it
// while the object lives.
class RecordingBrowser
{
public:
    RecordingBrowser()
        : savedShare(qgetenv("VUXSHARE"))
    {
        QFile browser(dir.filePath(QStringLiteral("webbrowser")));
        if (browser.open(QIODevice::WriteOnly))
            browser.write("#!/bin/sh\necho \"$#:$1\" >> \"$0.log\"\n");
        browser.close();
        browser.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        qputenv("VUXSHARE", QFile::encodeName(dir.path()));
    }
    ~RecordingBrowser() { qputenv("VUXSHARE", savedShare); }

    // The lines written, once there are expected ones (and a moment later,
    // so that anything late shows here); then forgets them.
    QStringList browsed(int expected)
    {
        QFile log(dir.filePath(QStringLiteral("webbrowser.log")));
        auto const read = [&log] {
            QStringList lines;
            if (log.open(QIODevice::ReadOnly))
                lines = QString::fromLocal8Bit(log.readAll()).split('\n', Qt::SkipEmptyParts);
            log.close();
            return lines;
        };
        QTest::qWaitFor([&] { return read().size() >= expected; });
        QTest::qWait(100);
        QStringList const lines = read();
        log.remove();
        return lines;
    }

private:
    QTemporaryDir dir;
    QByteArray savedShare;
};
