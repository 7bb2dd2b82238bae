#pragma once

#include <QByteArray>
#include <QString>
#include <QTemporaryDir>

// A share directory whose companion script is the stand-in of
// tests/data/standin/YumIO.py, with a "yum" package that reports the given
// version. VUXSHARE points at it while the object lives.
class StandinShare
{
public:
    explicit StandinShare(QString const& yumVersion);
    ~StandinShare();

    bool isValid() const { return valid; }
    QString path() const { return dir.path(); }

private:
    QTemporaryDir dir;
    QByteArray savedShare;
    bool hadShare = false;
    bool valid = false;
};
