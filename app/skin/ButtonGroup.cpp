#include "app/skin/ButtonGroup.h"

#include <QWidget>

#include "app/skin/SafeDC.h"

void CButtonGroup::AddEntry(const QRect& rect, int normal, int pressed, int hover, int command) {
  entries_.push_back({rect, normal, pressed, hover, command});
  shown_.push_back(0);
}

void CButtonGroup::Clear() {
  entries_.clear();
  shown_.clear();
}

void CButtonGroup::Draw(CSafeDC& surface, int index, int bitmap, bool repaintAlways) {
  const MenuEntry& e = entries_[static_cast<size_t>(index)];
  if (bitmap != 0) {
    const QRect& r = e.rect;
    surface.DrawBitmap(bitmap, r.left(), r.top(), r.left() + r.width(), r.top() + r.height());
  }
  int& shown = shown_[static_cast<size_t>(index)];
  const bool changed = shown != bitmap;
  shown = bitmap;
  if (owner_ != nullptr && (changed || repaintAlways))
    owner_->update(e.rect);
}

void CButtonGroup::DrawAll(CSafeDC& surface) {
  for (int i = 0; i < Count(); ++i)
    Draw(surface, i, entries_[static_cast<size_t>(i)].normal, false);
}

void CButtonGroup::RedrawAll(CSafeDC& surface) {
  for (int i = 0; i < Count(); ++i)
    Draw(surface, i, entries_[static_cast<size_t>(i)].normal, true);
}

void CButtonGroup::DrawOne(CSafeDC& surface, int index) {
  if (index >= 0 && index < Count())
    Draw(surface, index, entries_[static_cast<size_t>(index)].normal, false);
}

void CButtonGroup::Restore(CSafeDC& surface) {
  for (int i = 0; i < Count(); ++i) {
    const int shown = shown_[static_cast<size_t>(i)];
    Draw(surface, i, shown != 0 ? shown : entries_[static_cast<size_t>(i)].normal, false);
  }
}

bool CButtonGroup::ColumnHit(const QPoint& p) const {
  if (entries_.empty())
    return false;
  int bottom = 0;
  for (const MenuEntry& e : entries_)
    bottom = qMax(bottom, e.rect.top() + e.rect.height());
  const int left = entries_.front().rect.left();
  return p.x() >= left && p.x() < kColumnRight && p.y() >= kColumnTop && p.y() < bottom;
}

int CButtonGroup::EntryAt(const QPoint& p) const {
  for (int i = 0; i < Count(); ++i)
    if (entries_[static_cast<size_t>(i)].rect.contains(p))
      return i;
  return -1;
}

int CButtonGroup::HitTest(const QPoint& p) {
  // A press between entries forgets the earlier press, so that releasing
  // on the entry pressed last time does not fire it.
  pressedIndex = EntryAt(p);
  return pressedIndex;
}

int CButtonGroup::Track(CSafeDC& surface, const QPoint& p, int mode) {
  const int hit = EntryAt(p);
  for (int i = 0; i < Count(); ++i) {
    const MenuEntry& e = entries_[static_cast<size_t>(i)];
    int bitmap = e.normal;
    if (i == hit)
      bitmap = mode == kTrackPressed ? e.pressed : e.hover;
    Draw(surface, i, bitmap, false);
  }
  return hit;
}

int CButtonGroup::CommandOfSelected() const {
  if (selectedIndex < 0 || selectedIndex >= Count())
    return 0;
  return entries_[static_cast<size_t>(selectedIndex)].command;
}
