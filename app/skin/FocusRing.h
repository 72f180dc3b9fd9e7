#pragma once
// The keyboard focus ring of the skin: a rounded two-pixel line in the
// skin's accent blue (the colour of a focused path box's border) with a
// one-pixel white line inside it (so that it shows on an accent-filled
// button too), drawn just inside the rectangle of the control or entry
// that has the focus.
// Every skinned control that takes the focus draws it the same way.

#include <QColor>
#include <QRect>

class QPainter;

namespace skin {
extern const QColor kFocusRingColour;  // (47, 128, 237)
// Draws the ring inside `area` (painter coordinates).
void DrawFocusRing(QPainter& painter, const QRect& area);
}  // namespace skin
