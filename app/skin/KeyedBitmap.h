#pragma once
// CKeyedBitmap: one numbered skin bitmap with its key colours made
// transparent, drawn for whatever screen the painter is on.
//
// Size() is the bitmap's own size (ratio 1), the area it covers in window
// coordinates at every ratio. The copy for another ratio is painted and
// keyed on first use and kept until a painter with yet another ratio asks.
// Threads: UI thread only.

#include <QColor>
#include <QImage>
#include <QPoint>
#include <QSize>

#include <vector>

class QPainter;

class CKeyedBitmap {
 public:
  CKeyedBitmap() = default;
  // Bitmap `id` without the pixels of the `keys` colours; null when the
  // program has no bitmap `id`.
  CKeyedBitmap(int id, std::vector<QColor> keys);

  bool isNull() const { return one_.isNull(); }
  QSize size() const { return one_.size(); }
  int width() const { return one_.width(); }
  int height() const { return one_.height(); }

  // Draws the bitmap with its top-left at `at` (painter coordinates).
  void Draw(QPainter& painter, QPoint at) const;

 private:
  const QImage& At(qreal ratio) const;

  int id_ = 0;
  std::vector<QColor> keys_;
  QImage one_;
  mutable QImage scaled_;
};
