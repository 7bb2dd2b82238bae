// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

class QCoreApplication;
class QLocale;
class QString;

namespace Translations {

// Installs the catalogues for locale: the toolkit's own (its dialogs' standard
// buttons) from the toolkit's translation directory, and Vux's from
// vuxDirectory (the program carries them at ":/i18n"). A language without a
// catalogue keeps the source texts.
void install(QCoreApplication& app, QLocale const& locale, QString const& vuxDirectory);

} // namespace Translations
