// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include <QString>

class QWidget;
class YumConfIO;

namespace Repo {
struct Entry;
}

namespace RepoAuth {

class Dialog;

// Asks for the larder credentials missing from repositories used in this
// session and writes those entered back to the configuration. All the work
// happens in the constructor; the caller reads quit and changed afterwards.
class Checker
{
public:
    struct Auth
    {
        QString name;
        QString password;
    };

    Checker(QWidget* parent, YumConfIO* yumConfIO);
    ~Checker();
    Checker(Checker const&) = delete;
    Checker& operator=(Checker const&) = delete;

    bool quit = false; // the user chose Quit
    bool changed = false; // credentials changed, so the configuration was written

private:
    static void replace(Repo::Entry& entry, Auth const& auth);

    Dialog* dialog = nullptr;
};

} // namespace RepoAuth
