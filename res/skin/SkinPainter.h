#pragma once
// Paints one skin image from its table row (SkinTable.h). Needs a
// QGuiApplication for fonts; the result has the row's exact pixel size.

#include <QImage>

#include "SkinTable.h"

namespace skin {

QImage Paint(const Entry& entry);

}  // namespace skin
