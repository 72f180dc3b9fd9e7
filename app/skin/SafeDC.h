#pragma once
// CSafeDC: an off-screen drawing surface over a rectangle of a target.
//
// The surface starts black, is drawn on with numbered bitmaps and text, and
// is copied to the target in one block: by Flush(), or by the destructor
// when Flush() was not called. Drawing uses the target's coordinates (the
// surface's origin is the rectangle's top-left).
//
// The target is a painter that is active on the window (or image) being
// painted; it is not owned. A surface that outlives one paint (the main
// window's) is created without a target and given one for each copy with
// SetTarget().
//
// Drawing state as a fresh surface has it: label font (Arial, 15 px,
// normal weight), pen solid yellow width 1, brush solid black, text yellow,
// transparent text background.
//
// On a scaled screen the surface has as many pixels as the screen gives its
// rectangle (its ratio times the rectangle's size), and bitmaps and text are
// drawn for that ratio; coordinates stay the window's.
//
// If the surface image cannot be allocated the surface is invalid: every
// drawing call does nothing (DrawBitmap returns false) and nothing is
// copied.
//
// Threads: UI thread only.

#include <QColor>
#include <QFont>
#include <QImage>
#include <QPen>
#include <QRect>
#include <QString>

#include <memory>

class QPainter;

class CSafeDC {
 public:
  // Font kinds for SelectFontKind.
  static constexpr int kFontSystem = 0;   // "System", default height
  static constexpr int kFontSimSun = 1;   // SimSun, default height (version line)
  static constexpr int kFontCourier = 2;  // "Courier New", 30 px

  // DrawLabel format bits (the values of the classic DrawText flags).
  static constexpr unsigned kDtCenter = 0x0001;
  static constexpr unsigned kDtRight = 0x0002;
  static constexpr unsigned kDtVCenter = 0x0004;
  static constexpr unsigned kDtBottom = 0x0008;
  static constexpr unsigned kDtWordBreak = 0x0010;
  static constexpr unsigned kDtSingleLine = 0x0020;
  static constexpr unsigned kDtEndEllipsis = 0x8000;
  // Format 0 means: one line, vertically centred, cut with an ellipsis.
  static constexpr unsigned kDefaultLabelFormat = kDtSingleLine | kDtVCenter | kDtEndEllipsis;

  static const QColor kYellow;

  // `ratio`: device pixels per window pixel; 0 takes the target's (1 when
  // there is no target).
  CSafeDC(QPainter* target, const QRect& rect, qreal ratio = 0);
  virtual ~CSafeDC();
  CSafeDC(const CSafeDC&) = delete;
  CSafeDC& operator=(const CSafeDC&) = delete;

  // Copies the block (right - left) x (bottom - top) from the bitmap's
  // top-left to (left, top), unscaled; a bitmap smaller than the box
  // covers only its own size. False when resource `id` does not exist.
  bool DrawBitmap(int id, int left, int top, int right, int bottom);

  // Selects font kind 0, 1 or 2 for the following text; other kinds do nothing.
  void SelectFontKind(int kind);

  // Draws `text` in `rect` with the current font and text colour; format 0
  // is kDefaultLabelFormat. Returns true.
  bool DrawLabel(const QString& text, const QRect& rect, unsigned format = 0);

  // Copies the whole surface to the target now; later destruction copies
  // nothing more.
  void Flush();

  // Text colour for DrawLabel; returns the previous one.
  QColor SetTextColor(const QColor& colour);
  QColor TextColor() const { return textColour_; }

  // Fills a rectangle (target coordinates) with one colour.
  void FillSolidRect(const QRect& rect, const QColor& colour);

  // Copies `image` unscaled to (x, y) with its own alpha (an image with a
  // device pixel ratio covers its size divided by that ratio).
  void DrawImage(int x, int y, const QImage& image);

  // A painter on the surface in target coordinates with the surface's
  // pen, brush and font; for drawing the operations above do not cover.
  // Destroy it before the next call on the surface.
  std::unique_ptr<QPainter> BeginPaint();

  void SetTarget(QPainter* target) { target_ = target; }
  QPainter* Target() const { return target_; }
  const QRect& Rect() const { return rect_; }
  // The surface's pixels (Ratio() times the rectangle's size).
  const QImage& Image() const { return image_; }
  qreal Ratio() const { return image_.isNull() ? 1.0 : image_.devicePixelRatio(); }
  // A copy of the surface's part under `rect` (target coordinates), for
  // DrawImage to put back later.
  QImage Copy(const QRect& rect) const;
  bool IsFlushed() const { return flushed_; }
  bool IsValid() const { return !image_.isNull(); }
  const QFont& CurrentFont() const { return font_; }

 private:
  void CopyToTarget();

  QFont prepared_[3];
  QImage image_;
  QFont labelFont_;
  QPen pen_;
  QColor brush_;
  QFont font_;  // the selected font
  QColor textColour_;
  bool flushed_ = false;
  QPainter* target_ = nullptr;
  QRect rect_;
};
