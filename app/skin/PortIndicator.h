#pragma once
// The COM-port indicator that the product pages draw into the main
// window's surface: a status strip (360 tool found, 361 no tool) at
// (531, top + 53)-(726, top + 70) and, with a tool, the port number in
// 7 x 10 digit images at y = top + 57.
//
// Ports 1..99 use two slots: tens at x 659 (the blank image 372 for a
// leading 0) and units at x 666. Ports 100..999 (on POSIX the ttyUSB ports
// are 201..220) add a hundreds slot at x 652, left of the other two, where
// the tool-found strip leaves room; their tens digit 0 shows as "0". A
// port outside 1..999 shows the strip without digits.

#include <QRect>
#include <QString>

#include <vector>

class CSafeDC;

namespace indicator {

constexpr int kToolFound = 360;
constexpr int kNoTool = 361;
constexpr int kDigitZero = 362;   // 362..371 are the digits 0..9
constexpr int kDigitBlank = 372;
constexpr int kDigitWidth = 7;
constexpr int kDigitHeight = 10;

struct Slot {
  int x;
  int image;
};

// What the strip and digits say: "Tool found on port N" for the
// tool-found image with a port, else "No tool connected".
QString Text(int statusImage, int port);
// The strip's rectangle for a page whose placement top is `top`.
QRect StripRect(int top);

// The digit images of `port`, left to right.
std::vector<Slot> PortDigits(int port);

// Draws the strip and, when `port` is a port number, its digits; returns
// the rectangles drawn (to be repainted on the host).
std::vector<QRect> Draw(CSafeDC& surface, int top, int statusImage, int port);

}  // namespace indicator
