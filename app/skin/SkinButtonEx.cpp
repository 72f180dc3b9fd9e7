#include "app/skin/SkinButtonEx.h"

#include <QCursor>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>

#include "app/skin/FocusRing.h"
#include "app/skin/WindowTimers.h"

const QColor CSkinButtonEx::kMissingBitmapFill(143, 190, 241);

namespace {
std::function<QPoint()>& CursorSource() {
  static std::function<QPoint()> source;
  return source;
}

}  // namespace

CSkinButtonEx::CSkinButtonEx(QWidget* parent, int commandId)
    : QAbstractButton(parent),
      commandId_(commandId),
      timers_(new CWindowTimers([this](int id) { OnTimer(id); }, this)) {
  setMouseTracking(true);
  // A tab stop; a click leaves the focus where it is.
  setFocusPolicy(Qt::TabFocus);
  setAttribute(Qt::WA_NoSystemBackground);
}

CSkinButtonEx::~CSkinButtonEx() = default;

void CSkinButtonEx::SetCursorSource(std::function<QPoint()> source) {
  CursorSource() = std::move(source);
}

QPoint CSkinButtonEx::CursorPos() {
  return CursorSource() ? CursorSource()() : QCursor::pos();
}

bool CSkinButtonEx::SetBitmaps(int normal, int hover, int pressed, int disabled) {
  const int ids[4] = {normal, hover, pressed, disabled};
  for (int s = 0; s < 4; ++s) {
    if (!bitmaps_[s].isNull())
      continue;
    // Both key colours of the skinned button images become transparent.
    CKeyedBitmap bitmap(ids[s], {QColor(255, 0, 255), QColor(128, 0, 128)});
    if (bitmap.isNull())
      return false;
    bitmaps_[s] = std::move(bitmap);
  }
  resize(bitmaps_[kNormal].size());
  update();
  return true;
}

void CSkinButtonEx::ReleaseBitmaps() {
  for (CKeyedBitmap& b : bitmaps_)
    b = CKeyedBitmap();
}

bool CSkinButtonEx::IsHoverTimerSet() const { return timers_->IsSet(kHoverTimerId); }

QSize CSkinButtonEx::sizeHint() const {
  return bitmaps_[kNormal].isNull() ? QSize(114, 29) : bitmaps_[kNormal].size();
}

CSkinButtonEx::State CSkinButtonEx::ChooseState() {
  if (!isEnabled()) {
    enabled_ = false;
    return kDisabled;
  }
  if (isDown())
    return kPressed;
  return hovering_ || hasFocus() ? kHover : kNormal;
}

void CSkinButtonEx::paintEvent(QPaintEvent*) {
  state_ = ChooseState();
  QPainter p(this);
  const CKeyedBitmap& bmp = bitmaps_[state_];
  if (bmp.isNull())
    p.fillRect(rect(), kMissingBitmapFill);
  else
    bmp.Draw(p, QPoint(0, 0));
  if (hasFocus())
    skin::DrawFocusRing(p, rect());
}

void CSkinButtonEx::keyPressEvent(QKeyEvent* event) {
  const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
  if (enter && enterPresses_ && (event->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier) {
    event->accept();
    if (!event->isAutoRepeat())
      click();
    return;
  }
  QAbstractButton::keyPressEvent(event);
}


void CSkinButtonEx::mouseMoveEvent(QMouseEvent* event) {
  if (!hovering_ && enabled_ && isEnabled()) {
    hovering_ = true;
    state_ = kHover;
    if (rect().contains(event->position().toPoint()))
      update();
    timers_->SetTimer(kHoverTimerId, kHoverTimerMs);
  }
  QAbstractButton::mouseMoveEvent(event);
}

void CSkinButtonEx::OnTimer(int id) {
  if (id != kHoverTimerId)
    return;
  const QRect onScreen(mapToGlobal(QPoint(0, 0)), size());
  if (!onScreen.contains(CursorPos())) {
    timers_->KillTimer(kHoverTimerId);
    hovering_ = false;
    state_ = kNormal;
    update();
  }
}

void CSkinButtonEx::changeEvent(QEvent* event) {
  QAbstractButton::changeEvent(event);
  if (event->type() == QEvent::EnabledChange) {
    enabled_ = isEnabled();
    if (!enabled_) {
      hovering_ = false;
      timers_->KillTimer(kHoverTimerId);
    }
    update();
  }
}
