// SPDX-License-Identifier: GPL-2.0-or-later
#include "app/Translations.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

namespace {

void load(QCoreApplication& app, QLocale const& locale, QString const& name, QString const& dir)
{
    auto* translator = new QTranslator(&app);
    if (translator->load(locale, name, QStringLiteral("_"), dir))
        QCoreApplication::installTranslator(translator);
    else
        delete translator;
}

} // namespace

void Translations::install(
    QCoreApplication& app, QLocale const& locale, QString const& vuxDirectory)
{
    load(app, locale, QStringLiteral("qtbase"), QLibraryInfo::path(QLibraryInfo::TranslationsPath));
    load(app, locale, QStringLiteral("vux"), vuxDirectory);
}
