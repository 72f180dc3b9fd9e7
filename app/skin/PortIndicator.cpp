#include "app/skin/PortIndicator.h"

#include "app/skin/SafeDC.h"

namespace indicator {

namespace {
constexpr int kStripLeft = 531;
constexpr int kStripRight = 726;
constexpr int kStripTop = 53;
constexpr int kStripBottom = 70;
constexpr int kDigitTop = 57;
constexpr int kHundredsX = 652;
constexpr int kTensX = 659;
constexpr int kUnitsX = 666;

int DigitImage(int digit) { return kDigitZero + digit; }
}  // namespace

QString Text(int statusImage, int port) {
  if (statusImage == kToolFound && port >= 1)
    return QStringLiteral("Tool found on port %1").arg(port);
  return QStringLiteral("No tool connected");
}

QRect StripRect(int top) {
  return QRect(kStripLeft, top + kStripTop, kStripRight - kStripLeft, kStripBottom - kStripTop);
}

std::vector<Slot> PortDigits(int port) {
  if (port < 1 || port > 999)
    return {};
  const int hundreds = port / 100;
  const int tens = (port / 10) % 10;
  const int units = port % 10;
  if (hundreds == 0)
    return {{kTensX, tens == 0 ? kDigitBlank : DigitImage(tens)}, {kUnitsX, DigitImage(units)}};
  return {{kHundredsX, DigitImage(hundreds)}, {kTensX, DigitImage(tens)},
          {kUnitsX, DigitImage(units)}};
}

std::vector<QRect> Draw(CSafeDC& surface, int top, int statusImage, int port) {
  std::vector<QRect> drawn;
  const QRect strip = StripRect(top);
  surface.DrawBitmap(statusImage, strip.left(), strip.top(), strip.left() + strip.width(),
                     strip.top() + strip.height());
  drawn.push_back(strip);
  if (statusImage != kToolFound)
    return drawn;
  for (const Slot& s : PortDigits(port)) {
    const QRect r(s.x, top + kDigitTop, kDigitWidth, kDigitHeight);
    surface.DrawBitmap(s.image, r.left(), r.top(), r.left() + r.width(), r.top() + r.height());
    drawn.push_back(r);
  }
  return drawn;
}

}  // namespace indicator
