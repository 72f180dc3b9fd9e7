#include "app/skin/FocusRing.h"

#include <QPainter>
#include <QPen>

namespace skin {

const QColor kFocusRingColour(0x2F, 0x80, 0xED);

void DrawFocusRing(QPainter& painter, const QRect& area) {
  constexpr qreal kWidth = 2.0;
  constexpr qreal kRadius = 4.0;
  painter.save();
  painter.setRenderHint(QPainter::Antialiasing, true);
  painter.setPen(QPen(kFocusRingColour, kWidth));
  painter.setBrush(Qt::NoBrush);
  const QRectF ring = QRectF(area).adjusted(kWidth / 2, kWidth / 2, -kWidth / 2, -kWidth / 2);
  painter.drawRoundedRect(ring, kRadius, kRadius);
  // A white line inside it shows the ring on an accent-filled control too.
  painter.setPen(QPen(Qt::white, 1.0));
  const QRectF inner = QRectF(area).adjusted(kWidth + 0.5, kWidth + 0.5, -kWidth - 0.5, -kWidth - 0.5);
  painter.drawRoundedRect(inner, kRadius - 1, kRadius - 1);
  painter.restore();
}

}  // namespace skin
