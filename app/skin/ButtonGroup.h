#pragma once
// CButtonGroup: the catalogue menu of the main window. An ordered list of
// entries drawn from numbered bitmaps onto the window's drawing surface
// and hit-tested by the window.
//
// The group remembers which bitmap each entry shows on the surface; every
// drawing call that changes what an entry shows asks the owner window to
// repaint that entry's rectangle, so the screen never keeps a stale
// highlight. Rectangles are client coordinates, right and bottom exclusive.
// Threads: UI thread only.

#include <QPoint>
#include <QRect>

#include <vector>

class CSafeDC;
class QWidget;

struct MenuEntry {
  QRect rect;
  int normal = 0;
  int pressed = 0;
  int hover = 0;
  int command = 0;
};

class CButtonGroup {
 public:
  // Track modes.
  static constexpr int kTrackPressed = 1;
  static constexpr int kTrackHover = 2;
  // Top and right edge of the menu column.
  static constexpr int kColumnTop = 75;
  static constexpr int kColumnRight = 155;

  virtual ~CButtonGroup() = default;

  void SetOwner(QWidget* owner) { owner_ = owner; }

  void AddEntry(const QRect& rect, int normal, int pressed, int hover, int command);
  void Clear();
  int Count() const { return static_cast<int>(entries_.size()); }
  const MenuEntry& Entry(int index) const { return entries_.at(static_cast<size_t>(index)); }

  // Draws every entry's normal bitmap.
  void DrawAll(CSafeDC& surface);
  // The same, and repaints every entry on the owner.
  void RedrawAll(CSafeDC& surface);
  // Draws one entry's normal bitmap.
  void DrawOne(CSafeDC& surface, int index);
  // Draws every entry again with the bitmap it showed last (after the
  // surface under the menu was painted over).
  void Restore(CSafeDC& surface);

  // From the first entry's left edge, y 75, to x 155 and the lowest bottom.
  bool ColumnHit(const QPoint& p) const;
  // Index of the first entry holding `p`, else -1; stored as the pressed index.
  int HitTest(const QPoint& p);
  // The same without storing anything.
  int EntryAt(const QPoint& p) const;
  // Draws all entries normal, then the one under `p` pressed (mode 1) or
  // hovered (mode 2); returns its index or -1.
  int Track(CSafeDC& surface, const QPoint& p, int mode);

  int CommandOfSelected() const;

  int pressedIndex = -1;
  int selectedIndex = -1;
  int hoverIndex = -1;

  // Bitmap id entry `index` shows on the surface now (0 before drawing).
  int ShownBitmap(int index) const { return shown_.at(static_cast<size_t>(index)); }

 private:
  void Draw(CSafeDC& surface, int index, int bitmap, bool repaintAlways);

  std::vector<MenuEntry> entries_;
  std::vector<int> shown_;
  QWidget* owner_ = nullptr;
};
