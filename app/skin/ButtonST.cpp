#include "app/skin/ButtonST.h"

#include <QApplication>
#include <QMouseEvent>
#include <QPainter>
#include <QPalette>

#include "app/skin/FocusRing.h"
#include "app/skin/PageMessage.h"

CButtonST::CButtonST(QWidget* parent, int controlId) : QAbstractButton(parent), controlId_(controlId) {
  setMouseTracking(true);
  setAttribute(Qt::WA_NoSystemBackground);
  const QPalette pal = QApplication::palette();
  for (int i : {kColorBkIn, kColorBkOut, kColorBkFocus})
    colours_[i] = pal.color(QPalette::Button);
  for (int i : {kColorFgIn, kColorFgOut, kColorFgFocus})
    colours_[i] = pal.color(QPalette::ButtonText);
}

bool CButtonST::SetBitmaps(int inId, QColor inTransparent, int outId, QColor outTransparent) {
  CKeyedBitmap in(inId, {inTransparent});
  CKeyedBitmap out(outId, {outTransparent});
  if (in.isNull() || out.isNull())
    return false;
  inBitmap_ = std::move(in);
  outBitmap_ = std::move(out);
  update();
  return true;
}

void CButtonST::SetColor(int index, QColor colour) {
  if (index >= 0 && index < 6) {
    colours_[index] = colour;
    update();
  }
}

QColor CButtonST::Color(int index) const {
  return (index >= 0 && index < 6) ? colours_[index] : QColor();
}

void CButtonST::mouseMoveEvent(QMouseEvent* event) {
  SendPageMessage(parentWidget(), WM_SHOW_PAGE, static_cast<quintptr>(controlId_),
                  kShowPageHover);
  const bool leftDown = (event->buttons() & Qt::LeftButton) != 0;
  if (!(leftDown && !pointerOver_) && flat_) {
    if (rect().contains(event->position().toPoint())) {
      if (!pointerOver_) {
        pointerOver_ = true;
        update();
      }
    } else if (pointerOver_) {
      pointerOver_ = false;
      update();
    }
  }
  QAbstractButton::mouseMoveEvent(event);
}

void CButtonST::leaveEvent(QEvent* event) {
  SendPageMessage(parentWidget(), WM_SHOW_PAGE, static_cast<quintptr>(controlId_),
                  kShowPageLeave);
  pointerOver_ = false;
  update();
  QAbstractButton::leaveEvent(event);
}

void CButtonST::paintEvent(QPaintEvent*) {
  QPainter p(this);
  const bool pressed = isDown() || (isCheckable() && isChecked());
  const bool over = pointerOver_ || pressed;
  const QRect r = rect();

  if (!transparent_) {
    const QColor bk = over ? colours_[kColorBkIn]
                           : hasFocus() ? colours_[kColorBkFocus] : colours_[kColorBkOut];
    p.fillRect(r, bk);
  }
  if (!flat_) {
    const QPalette pal = palette();
    if (pressed) {
      p.setPen(pal.color(QPalette::Dark));
      p.drawRect(r.adjusted(0, 0, -1, -1));
    } else {
      p.setPen(pal.color(QPalette::Light));
      p.drawLine(r.topLeft(), r.topRight());
      p.drawLine(r.topLeft(), r.bottomLeft());
      p.setPen(pal.color(QPalette::Shadow));
      p.drawLine(r.bottomLeft(), r.bottomRight());
      p.drawLine(r.topRight(), r.bottomRight());
    }
  }

  const CKeyedBitmap& bmp = over ? inBitmap_ : outBitmap_;
  const QString caption = text();
  QRect captionRect = r;
  if (!bmp.isNull()) {
    const int y = (r.height() - bmp.height()) / 2 + (pressed ? 1 : 0);
    if (caption.isEmpty()) {
      bmp.Draw(p, QPoint((r.width() - bmp.width()) / 2, y));
    } else {
      const int x = 10 + (pressed ? 1 : 0);
      bmp.Draw(p, QPoint(x, y));
      captionRect.setLeft(x + bmp.width() + 2);
      captionRect.setRight(r.right() - 10);
    }
  }
  if (!caption.isEmpty()) {
    const int flags = Qt::AlignCenter | Qt::TextWordWrap;
    p.setFont(font());
    if (pressed)
      captionRect.translate(1, 1);
    if (!isEnabled()) {
      p.setPen(palette().color(QPalette::Light));
      p.drawText(captionRect.translated(1, 1), flags, caption);
      p.setPen(palette().color(QPalette::Mid));
      p.drawText(captionRect, flags, caption);
    } else {
      p.setPen(over ? colours_[kColorFgIn] : colours_[kColorFgOut]);
      p.drawText(captionRect, flags, caption);
    }
  }
  if (hasFocus() && !flat_) {
    p.setPen(QPen(palette().color(QPalette::WindowText), 1, Qt::DotLine));
    p.drawRect(r.adjusted(3, 3, -4, -4));
  } else if (hasFocus()) {
    skin::DrawFocusRing(p, r);  // a flat button has no frame to put a dotted rectangle in
  }
}
