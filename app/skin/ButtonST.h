#pragma once
// CButtonST: a flat push button with a bitmap, a caption and hover
// tracking.
//
// Each mouse move over the button sends WM_SHOW_PAGE to the parent with
// wParam = the control id and lParam 1 (kShowPageHover); leaving it sends
// one with lParam 2 (kShowPageLeave). The in bitmap shows while the pointer
// is over the button or it is pressed, the out bitmap otherwise; each is
// drawn without the pixels of its transparent colour, left of the caption
// (centred when there is no caption). With transparent drawing the parent
// shows through instead of a background fill. A double click acts as a
// single press. With the keyboard focus a flat button shows the skin's
// focus ring, a framed one a dotted rectangle inside its frame.
// Threads: UI thread only.

#include <QAbstractButton>
#include <QColor>
#include <QImage>

#include "app/skin/KeyedBitmap.h"

class CButtonST : public QAbstractButton {
  Q_OBJECT
 public:
  // Colour indexes of SetColor.
  enum ColorIndex {
    kColorBkIn = 0,
    kColorFgIn = 1,
    kColorBkOut = 2,
    kColorFgOut = 3,
    kColorBkFocus = 4,
    kColorFgFocus = 5,
  };

  CButtonST(QWidget* parent, int controlId);

  // Bitmaps and their transparent colours; false when one does not exist.
  bool SetBitmaps(int inId, QColor inTransparent, int outId, QColor outTransparent);
  void DrawTransparent(bool on) { transparent_ = on; update(); }
  void SetColor(int index, QColor colour);
  QColor Color(int index) const;
  void SetFlat(bool on) { flat_ = on; update(); }

  int ControlId() const { return controlId_; }
  bool IsPointerOver() const { return pointerOver_; }

  QSize sizeHint() const override { return QSize(114, 29); }

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void leaveEvent(QEvent* event) override;

 private:
  int controlId_;
  bool flat_ = true;
  bool transparent_ = false;
  bool pointerOver_ = false;
  CKeyedBitmap inBitmap_;
  CKeyedBitmap outBitmap_;
  QColor colours_[6];
};
