#pragma once
// The system's default language, as opposed to the user's: on Windows
// GetSystemDefaultLangID; on Linux the LANG of the system's locale
// settings (/etc/locale.conf, else /etc/default/locale), whatever the
// user's own environment says.

#include <QLocale>
#include <QString>

// The system's default language and territory; the C locale when the
// system names none.
QLocale SystemDefaultLocale();

// The locale that the text of a locale settings file names with LANG=
// (quotes, comments and an encoding suffix allowed); the C locale when it
// names none.
QLocale LocaleOfSettingsText(const QString& text);
