// skingen: paints every image of the skin table into <out>/<id>.png and
// writes <out>/skin.qrc listing them under the prefix /skin.
//
// Usage: skingen <output folder>

#include <QDir>
#include <QFile>
#include <QFont>
#include <QFontInfo>
#include <QGuiApplication>
#include <QTextStream>

#include <cstdio>
#include <set>

#include "SkinPainter.h"
#include "SkinTable.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: skingen <output folder>\n");
    return 2;
  }
  // No display is needed to paint into images.
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QGuiApplication app(argc, argv);
  if (QFontInfo(QFont(QString::fromLatin1(skin::kFontFamily))).family() !=
      QString::fromLatin1(skin::kFontFamily)) {
    std::fprintf(stderr, "skingen: the font family %s is missing (Debian: fonts-liberation)\n",
                 skin::kFontFamily);
    return 1;
  }

  const QDir out(QString::fromLocal8Bit(argv[1]));
  if (!QDir().mkpath(out.path())) {
    std::fprintf(stderr, "skingen: cannot create %s\n", argv[1]);
    return 1;
  }

  QString qrc;
  QTextStream q(&qrc);
  q << "<!DOCTYPE RCC><RCC version=\"1.0\">\n<qresource prefix=\"/skin\">\n";
  std::set<int> seen;
  for (const skin::Entry& e : skin::Table()) {
    if (!seen.insert(e.id).second) {
      std::fprintf(stderr, "skingen: resource %d listed twice\n", e.id);
      return 1;
    }
    const QImage img = skin::Paint(e);
    if (img.width() != e.width || img.height() != e.height) {
      std::fprintf(stderr, "skingen: resource %d painted at the wrong size\n", e.id);
      return 1;
    }
    const QString name = QString::number(e.id) + ".png";
    if (!img.save(out.filePath(name), "PNG")) {
      std::fprintf(stderr, "skingen: cannot write %s\n", qPrintable(out.filePath(name)));
      return 1;
    }
    q << "  <file>" << name << "</file>\n";
  }
  q << "</qresource>\n</RCC>\n";
  q.flush();

  QFile file(out.filePath("skin.qrc"));
  const QByteArray bytes = qrc.toUtf8();
  if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(bytes) != bytes.size()) {
    std::fprintf(stderr, "skingen: cannot write skin.qrc\n");
    return 1;
  }
  return 0;
}
