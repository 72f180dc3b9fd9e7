#include "app/skin/ColorStatic.h"

#include <QPainter>

CColorStatic::CColorStatic(QWidget* parent) : QLabel(parent) {
  setAttribute(Qt::WA_TranslucentBackground);
}

void CColorStatic::paintEvent(QPaintEvent*) {
  QColor text = textColour_;
  QColor background = background_;
  if (parentColouring_)
    parentColouring_(text, background);
  paintedText_ = text;
  QPainter p(this);
  if (background.isValid())
    p.fillRect(rect(), background);
  p.setPen(text);
  p.setFont(font());
  const int flags = static_cast<int>(alignment()) | (wordWrap() ? Qt::TextWordWrap : 0);
  p.drawText(contentsRect(), flags, QLabel::text());
}
