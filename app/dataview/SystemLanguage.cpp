#include "app/dataview/SystemLanguage.h"

#include <QFile>
#include <QStringList>

#ifdef _WIN32
#include <windows.h>
#endif

QLocale LocaleOfSettingsText(const QString& text) {
  for (QString line : text.split(QLatin1Char('\n'))) {
    line = line.trimmed();
    if (!line.startsWith(QLatin1String("LANG=")))
      continue;
    QString value = line.mid(5).trimmed();
    if (value.size() >= 2 && (value.front() == QLatin1Char('"') || value.front() == QLatin1Char('\'')) &&
        value.back() == value.front())
      value = value.mid(1, value.size() - 2);
    // zh_CN.UTF-8, zh_CN@modifier: the name is what comes before.
    value = value.section(QLatin1Char('.'), 0, 0).section(QLatin1Char('@'), 0, 0);
    return value.isEmpty() ? QLocale::c() : QLocale(value);
  }
  return QLocale::c();
}

QLocale SystemDefaultLocale() {
#ifdef _WIN32
  // 0x0804: Chinese (PRC); other languages matter to no one here.
  return ::GetSystemDefaultLangID() == 0x0804 ? QLocale(QLocale::Chinese, QLocale::China)
                                              : QLocale::c();
#else
  for (const char* path : {"/etc/locale.conf", "/etc/default/locale"}) {
    QFile file(QString::fromLatin1(path));
    if (file.open(QIODevice::ReadOnly))
      return LocaleOfSettingsText(QString::fromUtf8(file.readAll()));
  }
  return QLocale::c();
#endif
}
