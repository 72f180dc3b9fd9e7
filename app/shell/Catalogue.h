#pragma once
// The catalogue of the main window: the products, the two tools and the
// three menu layouts, as fixed tables.

#include <QRect>

#include <vector>

// Pages of the main window (the "current page" values).
enum class PageId {
  None = -1,
  PX110 = 0,
  QV120 = 1,
  QV220 = 2,
  Manual = 4,
  Dtc = 5,
};

// Menu command ids.
namespace cmd {
constexpr int kQv120 = 100;
constexpr int kQv220 = 103;
constexpr int kQv240 = 104;
constexpr int kQv320 = 105;
constexpr int kQv340 = 107;
constexpr int kRw480 = 108;
constexpr int kManual = 125;
constexpr int kQvFamily = 129;
constexpr int kClose = 138;
constexpr int kMinimise = 139;
constexpr int kDtc = 140;
constexpr int kPxFamily = 150;
constexpr int kPx520 = 151;
constexpr int kPx110 = 152;
constexpr int kPx630 = 158;
constexpr int kOmnix = 159;
constexpr int kQv480r = 160;
constexpr int kQv130 = 161;
constexpr int kQv330 = 162;
constexpr int kQv330xe = 163;
}  // namespace cmd

struct ProductRow {
  const char* model;
  int code;         // product code (DevType)
  PageId page;
  bool passVariant; // SetDevType(code) on the page (not for PX110)
  int paintCode;    // WM_SHOW_PAGE code
  int picture;      // picture bitmap id
  int command;      // menu command id
};

// The fourteen products in table order.
const std::vector<ProductRow>& Products();
// The row of product code `code`, or null.
const ProductRow* ProductByCode(int code);
// The row whose command id is `command`, or null.
const ProductRow* ProductByCommand(int command);
// The row whose paint code is `paintCode`, or null.
const ProductRow* ProductByPaintCode(int paintCode);

// Paint code of the QV220 page without a product picture.
constexpr int kQv220NoPicturePaintCode = 114;

// Tool pages.
constexpr int kManualPaintCode = 125;
constexpr int kDtcPaintCode = 140;

// Menu layouts (rectangles in client coordinates).
enum class MenuLayout { Qv, Closed, Px };

struct LayoutRow {
  int command;
  QRect rect;
  int normal;
  int pressed;
  int hover;
};

const std::vector<LayoutRow>& Layout(MenuLayout layout);
// The lowest bottom (exclusive) of any entry of the three layouts: a menu
// rebuild redraws the left panel down to there.
int MenuBottom();

// Rectangle from left, top, right, bottom (right and bottom exclusive).
inline QRect RectLTRB(int left, int top, int right, int bottom) {
  return QRect(left, top, right - left, bottom - top);
}

// Fixed geometry of the main window (client coordinates).
namespace geo {
constexpr int kWindowWidth = 800;
constexpr int kWindowHeight = 600;
constexpr int kPageLeft = 157;
constexpr int kPageTop = 76;
constexpr int kPageWidth = 617;
constexpr int kPageHeight = 486;
inline QRect LeftPanel() { return RectLTRB(0, 75, 157, 577); }
inline QRect Banner() { return RectLTRB(504, 50, 774, 102); }
inline QRect Picture() { return RectLTRB(21, 422, 134, 577); }
inline QRect VersionLine() { return RectLTRB(300, 39, 392, 51); }
inline QRect PageArea() { return QRect(kPageLeft, kPageTop, kPageWidth, kPageHeight); }
inline QPoint CloseButton() { return QPoint(777, 2); }
inline QPoint MinimiseButton() { return QPoint(758, 2); }
}  // namespace geo

// Bitmaps of the main window.
namespace bmp {
constexpr int kBackground = 325;
constexpr int kLeftPanel = 453;
constexpr int kBanner = 502;
constexpr int kIcon = 128;
constexpr int kCloseNormal = 386, kCloseHover = 384, kClosePressed = 385;
constexpr int kMinNormal = 392, kMinHover = 390, kMinPressed = 391;
}  // namespace bmp

// The name a person (and a screen reader) knows a menu entry by: the
// model, "QV series" / "PX series" for the family headers, "DTC lookup"
// and "Manuals" for the tools; "" for an unknown command.
const char* EntryName(int command);

// The family header an entry belongs to: cmd::kQvFamily or cmd::kPxFamily
// for the headers themselves and the models listed under them, 0 for the
// tools and unknown commands.
int FamilyOf(int command);
// The layout in which `familyHeader`'s family is open (Closed for 0).
MenuLayout OpenLayoutOf(int familyHeader);
