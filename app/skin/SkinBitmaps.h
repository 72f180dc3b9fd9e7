#pragma once
// The program's numbered bitmap resources (the skin painted at build time,
// res/skin). Threads: UI thread.
//
// Sizes, positions and hit areas always come from the images at their own
// size (ratio 1). On a scaled screen the same image is drawn from a copy
// painted for that screen's device pixel ratio, which covers the same
// rectangle in the window's coordinates.

#include <QColor>
#include <QImage>
#include <QPixmap>

class QPainter;
class QRectF;

namespace skin {

// The bitmap with resource number `id` at its own size; a null image when
// the program has no such resource. Loaded once and kept for the run.
QImage Bitmap(int id);

// The bitmap painted for a screen of `ratio` device pixels per window pixel:
// about ratio times the size of Bitmap(id) each way, carrying `ratio` as its
// device pixel ratio. At ratio 1 (or within 1 % of it) this is Bitmap(id).
// Painted on first use and kept for the run; a null image when the program
// has no such resource.
QImage Bitmap(int id, qreal ratio);

// Whether resource `id` exists.
bool HasBitmap(int id);

// The size of Bitmap(id) without loading it; empty when there is no such
// resource.
QSize BitmapSize(int id);

// Drops the copies of bitmap `id` painted for other ratios (a bitmap drawn
// once need not stay in memory); a later Bitmap(id, ratio) paints it again.
void ReleaseScaled(int id);

// The device pixel ratio a painter draws at (1 for a painter on nothing).
qreal RatioOf(const QPainter& painter);

// Draws the part `source` (window pixels, from the image's top-left) of
// `image` into `target` (painter coordinates, the same size), taking the
// pixels from `image` as painted for any ratio.
void DrawPart(QPainter& painter, const QRectF& target, const QImage& image, const QRectF& source);

// `image` with every pixel of colour `key` made fully transparent; the
// result keeps the image's device pixel ratio.
QImage KeyedOut(const QImage& image, QColor key);

}  // namespace skin
