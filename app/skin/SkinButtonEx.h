#pragma once
// CSkinButtonEx: a push button drawn entirely from four numbered bitmaps,
// one per state (normal, hover, pressed, disabled).
//
// Bitmaps are keyed: magenta (255, 0, 255) and purple (128, 0, 128) pixels
// are transparent, so what lies under the button shows there. A state
// whose bitmap is not loaded fills the button with (143, 190, 241).
//
// Hover: the first mouse move over an enabled button sets the hover state
// and starts timer 1 (10 ms); each tick checks whether the pointer is still
// inside the button and, when it left, returns to normal.
//
// Keyboard: the button is a tab stop. While it has the focus it shows its
// hover bitmap (pressed while held down) and the skin's focus ring; Space
// presses it, and so does Enter unless SetEnterPresses(false) (a button
// whose press closes a window leaves Enter alone).
//
// The button's command id is kept for the owner (the page dispatches its
// clicked() signal by it). Threads: UI thread only.

#include <QAbstractButton>
#include <QImage>

#include "app/skin/KeyedBitmap.h"

#include <array>
#include <functional>

class CWindowTimers;

class CSkinButtonEx : public QAbstractButton {
  Q_OBJECT
 public:
  enum State { kNormal = 0, kHover = 1, kPressed = 2, kDisabled = 3 };
  static constexpr int kHoverTimerId = 1;
  static constexpr int kHoverTimerMs = 10;
  static const QColor kMissingBitmapFill;

  explicit CSkinButtonEx(QWidget* parent = nullptr, int commandId = 0);
  ~CSkinButtonEx() override;

  // Loads each state's bitmap that is not loaded yet. False at the first
  // one that fails (those loaded before it stay); otherwise the button
  // takes the normal bitmap's size, keeping its position, and true.
  bool SetBitmaps(int normal, int hover, int pressed, int disabled);
  // Drops the four bitmaps.
  void ReleaseBitmaps();
  bool HasBitmap(State s) const { return !bitmaps_[s].isNull(); }

  int CommandId() const { return commandId_; }
  State CurrentState() const { return state_; }
  bool IsHovering() const { return hovering_; }
  bool IsHoverTimerSet() const;

  // Where the pointer is, in global coordinates (QCursor::pos() unless
  // replaced, e.g. by tests).
  static void SetCursorSource(std::function<QPoint()> source);

  QSize sizeHint() const override;

  void SetEnterPresses(bool on) { enterPresses_ = on; }
  bool EnterPresses() const { return enterPresses_; }

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void changeEvent(QEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;

 private:
  void OnTimer(int id);
  State ChooseState();
  static QPoint CursorPos();

  std::array<CKeyedBitmap, 4> bitmaps_;
  State state_ = kNormal;
  bool hovering_ = false;
  bool enabled_ = true;
  bool enterPresses_ = true;
  int commandId_;
  CWindowTimers* timers_;
};
