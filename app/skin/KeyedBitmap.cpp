#include "app/skin/KeyedBitmap.h"

#include <QPainter>

#include <utility>

#include "app/skin/SkinBitmaps.h"

namespace {

QImage Keyed(QImage image, const std::vector<QColor>& keys) {
  if (image.isNull())
    return image;
  for (const QColor& key : keys)
    image = skin::KeyedOut(image, key);
  return image;
}

}  // namespace

CKeyedBitmap::CKeyedBitmap(int id, std::vector<QColor> keys)
    : id_(id), keys_(std::move(keys)), one_(Keyed(skin::Bitmap(id), keys_)) {}

const QImage& CKeyedBitmap::At(qreal ratio) const {
  const QImage candidate = skin::Bitmap(id_, ratio);
  if (candidate.devicePixelRatio() == one_.devicePixelRatio())
    return one_;
  if (scaled_.isNull() || scaled_.devicePixelRatio() != candidate.devicePixelRatio())
    scaled_ = Keyed(candidate, keys_);
  return scaled_;
}

void CKeyedBitmap::Draw(QPainter& painter, QPoint at) const {
  if (one_.isNull())
    return;
  skin::DrawPart(painter, QRectF(at, QSizeF(one_.size())), At(skin::RatioOf(painter)),
                 QRectF(QPointF(0, 0), QSizeF(one_.size())));
}
