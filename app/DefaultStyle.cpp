// SPDX-License-Identifier: GPL-2.0-or-later
#include "app/DefaultStyle.h"

#include <QApplication>
#include <QSettings>
#include <QStyle>
#include <QStyleFactory>

#include <cstring>

namespace {

bool isStyleOption(char const* arg)
{
    // Qt 6 reads its options with one or two leading dashes.
    if (std::strncmp(arg, "--", 2) == 0)
        ++arg;
    return std::strcmp(arg, "-style") == 0 || std::strncmp(arg, "-style=", 7) == 0;
}

} // namespace

DefaultStyle::DefaultStyle(int argc, char** argv)
{
    for (int i = 1; i < argc && argv[i]; ++i) {
        if (isStyleOption(argv[i])) {
            chosen = true;
            return;
        }
    }
    QSettings settings(QSettings::UserScope, QStringLiteral("Trolltech"));
    settings.beginGroup(QStringLiteral("Qt"));
    chosen = settings.contains(QStringLiteral("style"));
}

void DefaultStyle::set(QApplication& app, QString const& name)
{
    if (chosen)
        return;
    // Returns null for a style this toolkit does not have.
    QStyle* style = QStyleFactory::create(name);
    if (!style)
        return;
    app.setStyle(style);
    app.setPalette(style->standardPalette());
}
