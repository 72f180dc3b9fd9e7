#pragma once
// Paints one skin image from its table row (SkinTable.h). Needs a
// QGuiApplication for fonts. Any thread that owns its fonts (the GUI thread
// in the program).

#include <QImage>
#include <QSize>

#include "SkinTable.h"

namespace skin {

// The one font family of the skin's texts (Debian package fonts-liberation,
// installed by scripts/deps.sh). Painting with another family would change
// every text's size, so skingen refuses to run without it.
constexpr char kFontFamily[] = "Liberation Sans";

// Ratios a skin image can be painted at: device pixels per skin pixel.
constexpr double kMinRatio = 0.5;
constexpr double kMaxRatio = 8.0;

// The pixel size of `size` window pixels on a screen of `ratio`: times the
// ratio, rounded up so no window pixel is left out (`size` itself at 1).
QSize DeviceSize(QSize size, double ratio);
// The pixel size of `entry` painted at `ratio`.
QSize DeviceSize(const Entry& entry, double ratio);

// The image of `entry` painted for a screen of `ratio` (1 = the row's own
// pixel size; 2 = twice as many pixels each way, drawn, not enlarged). The
// result has DeviceSize(entry, ratio) pixels and carries `ratio` as its
// device pixel ratio. A null image for a ratio outside [kMinRatio, kMaxRatio].
QImage Paint(const Entry& entry, double ratio = 1.0);

}  // namespace skin
