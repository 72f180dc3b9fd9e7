#include "app/skin/SafeDC.h"

#include <QFontMetrics>
#include <QPainter>
#include <QStringList>

#include "app/skin/SkinBitmaps.h"
#include "res/skin/SkinPainter.h"

const QColor CSafeDC::kYellow(255, 255, 0);

namespace {

QFont MakeFont(const QStringList& families, int pixelHeight, QFont::Weight weight) {
  QFont f;
  f.setFamilies(families);
  // Height 0 asks for the face's default size.
  f.setPixelSize(pixelHeight > 0 ? pixelHeight : 12);
  f.setWeight(weight);
  f.setStyleHint(QFont::SansSerif);
  return f;
}

}  // namespace

CSafeDC::CSafeDC(QPainter* target, const QRect& rect, qreal ratio) : target_(target), rect_(rect) {
  if (ratio <= 0)
    ratio = target != nullptr ? skin::RatioOf(*target) : 1.0;
  prepared_[kFontSystem] =
      MakeFont({"System", "DejaVu Sans", "Liberation Sans"}, 0, QFont::Normal);
  prepared_[kFontSimSun] = MakeFont(
      {"SimSun", "Noto Sans CJK SC", "WenQuanYi Micro Hei", "Droid Sans Fallback", "DejaVu Sans"},
      0, QFont::Normal);
  prepared_[kFontCourier] =
      MakeFont({"Courier New", "Liberation Mono", "DejaVu Sans Mono"}, 30, QFont::Normal);
  prepared_[kFontCourier].setStyleHint(QFont::Monospace);

  if (rect.width() > 0 && rect.height() > 0) {
    image_ = QImage(skin::DeviceSize(rect.size(), ratio), QImage::Format_RGB32);
    image_.setDevicePixelRatio(ratio);
  }
  labelFont_ = MakeFont({"Arial", "Liberation Sans", "Nimbus Sans", "DejaVu Sans"}, 15,
                        QFont::Normal);
  pen_ = QPen(kYellow, 1, Qt::SolidLine);
  brush_ = Qt::black;
  font_ = labelFont_;
  textColour_ = kYellow;
  if (!image_.isNull())
    image_.fill(Qt::black);
}

CSafeDC::~CSafeDC() {
  if (!flushed_)
    CopyToTarget();
  target_ = nullptr;
}

std::unique_ptr<QPainter> CSafeDC::BeginPaint() {
  if (image_.isNull())
    return nullptr;
  auto p = std::make_unique<QPainter>(&image_);
  p->translate(-rect_.topLeft());
  p->setPen(pen_);
  p->setBrush(brush_);
  p->setFont(font_);
  p->setBackgroundMode(Qt::TransparentMode);
  return p;
}

bool CSafeDC::DrawBitmap(int id, int left, int top, int right, int bottom) {
  // The size alone: on a scaled screen the image at its own size is never drawn.
  const QSize bmp = skin::BitmapSize(id);
  if (bmp.isEmpty() || image_.isNull())
    return false;
  const int w = qMin(right - left, bmp.width());
  const int h = qMin(bottom - top, bmp.height());
  if (w <= 0 || h <= 0)
    return true;
  auto p = BeginPaint();
  p->setCompositionMode(QPainter::CompositionMode_Source);
  skin::DrawPart(*p, QRectF(left, top, w, h), skin::Bitmap(id, Ratio()), QRectF(0, 0, w, h));
  return true;
}

QImage CSafeDC::Copy(const QRect& rect) const {
  if (image_.isNull())
    return QImage();
  const qreal r = Ratio();
  const QRectF part = QRectF(rect.translated(-rect_.topLeft()));
  QImage copy = image_.copy(QRect(qRound(part.x() * r), qRound(part.y() * r),
                                  qRound(part.width() * r), qRound(part.height() * r)));
  copy.setDevicePixelRatio(r);
  return copy;
}

void CSafeDC::SelectFontKind(int kind) {
  if (kind >= 0 && kind <= 2)
    font_ = prepared_[kind];
}

bool CSafeDC::DrawLabel(const QString& text, const QRect& rect, unsigned format) {
  auto p = BeginPaint();
  if (!p)
    return true;
  if (format == 0)
    format = kDefaultLabelFormat;
  int flags = 0;
  flags |= (format & kDtCenter) ? Qt::AlignHCenter : (format & kDtRight) ? Qt::AlignRight
                                                                           : Qt::AlignLeft;
  const bool single = (format & kDtSingleLine) != 0;
  if (single) {
    flags |= (format & kDtVCenter) ? Qt::AlignVCenter
                                   : (format & kDtBottom) ? Qt::AlignBottom : Qt::AlignTop;
    flags |= Qt::TextSingleLine;
  } else {
    flags |= Qt::AlignTop;
    if (format & kDtWordBreak)
      flags |= Qt::TextWordWrap;
  }
  QString shown = text;
  if (format & kDtEndEllipsis)
    shown = QFontMetrics(font_).elidedText(text, Qt::ElideRight, rect.width());
  p->setPen(textColour_);
  p->setClipRect(rect);
  p->drawText(rect, flags, shown);
  return true;
}

void CSafeDC::Flush() {
  CopyToTarget();
  flushed_ = true;
}

QColor CSafeDC::SetTextColor(const QColor& colour) {
  const QColor old = textColour_;
  textColour_ = colour;
  return old;
}

void CSafeDC::FillSolidRect(const QRect& rect, const QColor& colour) {
  auto p = BeginPaint();
  if (p)
    p->fillRect(rect, colour);
}

void CSafeDC::DrawImage(int x, int y, const QImage& image) {
  auto p = BeginPaint();
  if (p)
    p->drawImage(QPoint(x, y), image);
}

void CSafeDC::CopyToTarget() {
  if (target_ == nullptr || image_.isNull())
    return;
  target_->save();
  target_->setCompositionMode(QPainter::CompositionMode_Source);
  target_->drawImage(rect_.topLeft(), image_);
  target_->restore();
}
