#include "app/skin/SkinBitmaps.h"

#include <QHash>
#include <QString>

// The skin resource lives in a static library; this pulls it into every
// program that uses the bitmaps.
static void InitSkinResource() { Q_INIT_RESOURCE(skin); }

namespace skin {

QImage Bitmap(int id) {
  static bool initialised = false;
  if (!initialised) {
    InitSkinResource();
    initialised = true;
  }
  static QHash<int, QImage> cache;
  auto it = cache.constFind(id);
  if (it != cache.constEnd())
    return it.value();
  QImage img(QStringLiteral(":/skin/%1.png").arg(id));
  if (!img.isNull())
    img = img.convertToFormat(img.hasAlphaChannel() ? QImage::Format_ARGB32
                                                    : QImage::Format_RGB32);
  cache.insert(id, img);
  return img;
}

bool HasBitmap(int id) { return !Bitmap(id).isNull(); }

QImage KeyedOut(const QImage& image, QColor key) {
  QImage out = image.convertToFormat(QImage::Format_ARGB32);
  const QRgb k = key.rgb() | 0xFF000000u;
  for (int y = 0; y < out.height(); ++y) {
    QRgb* line = reinterpret_cast<QRgb*>(out.scanLine(y));
    for (int x = 0; x < out.width(); ++x)
      if ((line[x] | 0xFF000000u) == k && qAlpha(line[x]) == 255)
        line[x] = 0;
  }
  return out;
}

}  // namespace skin
