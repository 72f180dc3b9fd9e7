#pragma once
// Paints one skin image from its table row (SkinTable.h). Needs a
// QGuiApplication for fonts; the result has the row's exact pixel size.

#include <QImage>

#include "SkinTable.h"

namespace skin {

// The one font family of the skin's texts (Debian package fonts-liberation,
// installed by scripts/deps.sh). Painting with another family would change
// every text's size, so skingen refuses to run without it.
constexpr char kFontFamily[] = "Liberation Sans";

QImage Paint(const Entry& entry);

}  // namespace skin
