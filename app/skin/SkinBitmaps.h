#pragma once
// The program's numbered bitmap resources (the skin painted at build time,
// res/skin). Threads: UI thread.

#include <QColor>
#include <QImage>
#include <QPixmap>

namespace skin {

// The bitmap with resource number `id`; a null image when the program has
// no such resource. Loaded once and kept for the run.
QImage Bitmap(int id);

// Whether resource `id` exists.
bool HasBitmap(int id);

// `image` with every pixel of colour `key` made fully transparent.
QImage KeyedOut(const QImage& image, QColor key);

}  // namespace skin
