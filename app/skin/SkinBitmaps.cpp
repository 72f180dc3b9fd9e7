#include "app/skin/SkinBitmaps.h"

#include <QHash>
#include <QPaintDevice>
#include <QPainter>
#include <QString>
#include <QtMath>

#include <iterator>

#include "res/skin/SkinPainter.h"
#include "res/skin/SkinTable.h"

// The skin resource lives in a static library; this pulls it into every
// program that uses the bitmaps.
static void InitSkinResource() { Q_INIT_RESOURCE(skin); }

namespace skin {

namespace {

QImage Opaque(QImage img) {
  if (img.isNull())
    return img;
  const qreal ratio = img.devicePixelRatio();
  img = img.convertToFormat(img.hasAlphaChannel() ? QImage::Format_ARGB32 : QImage::Format_RGB32);
  img.setDevicePixelRatio(ratio);
  return img;
}

// Every surface draw asks for a row (the catalogue redraws on each pointer
// move), so the table is indexed once.
const Entry* RowOf(int id) {
  static const QHash<int, const Entry*> rows = [] {
    QHash<int, const Entry*> index;
    for (const Entry& e : Table())
      index.insert(e.id, &e);
    return index;
  }();
  return rows.value(id, nullptr);
}

bool IsOne(qreal ratio) { return qAbs(ratio - 1.0) < 0.01; }

QHash<qint64, QImage>& ScaledCache() {
  static QHash<qint64, QImage> cache;
  return cache;
}

}  // namespace

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
  const QImage img = Opaque(QImage(QStringLiteral(":/skin/%1.png").arg(id)));
  cache.insert(id, img);
  return img;
}

QImage Bitmap(int id, qreal ratio) {
  if (IsOne(ratio) || !(ratio >= kMinRatio && ratio <= kMaxRatio))
    return Bitmap(id);
  // Screens come in a handful of ratios; hundredths tell them apart.
  const int hundredths = qRound(ratio * 100);
  QHash<qint64, QImage>& cache = ScaledCache();
  const qint64 key = (static_cast<qint64>(id) << 32) | static_cast<quint32>(hundredths);
  auto it = cache.constFind(key);
  if (it != cache.constEnd())
    return it.value();
  const Entry* row = RowOf(id);
  const QImage img = row == nullptr ? QImage() : Opaque(Paint(*row, hundredths / 100.0));
  cache.insert(key, img);
  return img;
}

bool HasBitmap(int id) { return !Bitmap(id).isNull(); }

QSize BitmapSize(int id) {
  const Entry* row = RowOf(id);
  return row == nullptr ? QSize() : QSize(row->width, row->height);
}

void ReleaseScaled(int id) {
  QHash<qint64, QImage>& cache = ScaledCache();
  for (auto it = cache.begin(); it != cache.end();)
    it = (it.key() >> 32) == id ? cache.erase(it) : std::next(it);
}

qreal RatioOf(const QPainter& painter) {
  const QPaintDevice* device = painter.device();
  return device == nullptr ? 1.0 : device->devicePixelRatioF();
}

void DrawPart(QPainter& painter, const QRectF& target, const QImage& image, const QRectF& source) {
  const qreal r = image.devicePixelRatio();
  if (r == 1.0 && RatioOf(painter) == 1.0) {
    painter.drawImage(target, image, source);
    return;
  }
  // On a fractional ratio a window pixel's edge can fall inside a screen
  // pixel. Cover every screen pixel the target touches and copy it one to
  // one from the image painted for that ratio, so nothing is resampled and
  // no pixel at the edge keeps what lay under it.
  constexpr qreal kEdge = 1e-6;
  const QTransform toDevice = painter.deviceTransform();
  const QRectF device = toDevice.mapRect(target);
  const QRect snapped(QPoint(qFloor(device.left() + kEdge), qFloor(device.top() + kEdge)),
                      QPoint(qCeil(device.right() - kEdge) - 1, qCeil(device.bottom() - kEdge) - 1));
  if (snapped.isEmpty())
    return;
  const QPointF from(source.x() * r, source.y() * r);
  const QSizeF part(qMin<qreal>(snapped.width(), image.width() - from.x()),
                    qMin<qreal>(snapped.height(), image.height() - from.y()));
  painter.drawImage(toDevice.inverted().mapRect(QRectF(snapped)), image, QRectF(from, part));
}

QImage KeyedOut(const QImage& image, QColor key) {
  QImage out = image.convertToFormat(QImage::Format_ARGB32);
  out.setDevicePixelRatio(image.devicePixelRatio());
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
