#include "app/shell/CatalogueKeys.h"

#include <QKeyEvent>
#include <QPainter>

#include <algorithm>

#include "app/shell/Catalogue.h"
#include "app/shell/MainWindowAccessible.h"
#include "app/shell/VarnokDlg.h"
#include "app/skin/ButtonGroup.h"
#include "app/skin/FocusRing.h"

namespace {
// The part of the left panel above the product picture.
constexpr int kColumnBottom = 421;
}  // namespace

CCatalogueKeys::CCatalogueKeys(CVarnokDlg* window) : QWidget(window), window_(window) {
  setObjectName(QStringLiteral("catalogue"));
  setAccessibleName(QStringLiteral("Catalogue"));
  setAttribute(Qt::WA_TransparentForMouseEvents);
  setAttribute(Qt::WA_NoSystemBackground);
  setFocusPolicy(Qt::TabFocus);
  setGeometry(RectLTRB(0, CButtonGroup::kColumnTop, geo::kPageLeft, kColumnBottom));
}

int CCatalogueKeys::Resolve() const {
  const CButtonGroup& menu = window_->Menu();
  if (menu.Count() == 0)
    return -1;
  for (int i = 0; i < menu.Count(); ++i)
    if (menu.Entry(i).command == command_)
      return i;
  for (int i = 0; i < menu.Count(); ++i)
    if (window_->IsEntryCurrent(menu.Entry(i).command))
      return i;
  return 0;
}

int CCatalogueKeys::KeyEntry() const { return hasFocus() ? Resolve() : -1; }

void CCatalogueKeys::MenuChanged() {
  const int index = Resolve();
  command_ = index >= 0 ? window_->Menu().Entry(index).command : 0;
  update();
}

void CCatalogueKeys::MoveTo(int index) {
  const CButtonGroup& menu = window_->Menu();
  if (menu.Count() == 0)
    return;
  index = std::clamp(index, 0, menu.Count() - 1);
  command_ = menu.Entry(index).command;
  update();
  NotifyCatalogueFocus(window_, index);
}

void CCatalogueKeys::keyPressEvent(QKeyEvent* event) {
  if (window_->IsBusy()) {
    event->accept();
    return;
  }
  const int index = Resolve();
  if (index < 0) {
    QWidget::keyPressEvent(event);
    return;
  }
  const int command = window_->Menu().Entry(index).command;
  const int family = FamilyOf(command);
  const bool open = family != 0 && window_->CurrentLayout() == OpenLayoutOf(family);
  switch (event->key()) {
    case Qt::Key_Up: MoveTo(index - 1); break;
    case Qt::Key_Down: MoveTo(index + 1); break;
    case Qt::Key_Home: MoveTo(0); break;
    case Qt::Key_End: MoveTo(window_->Menu().Count() - 1); break;
    case Qt::Key_Space:
    case Qt::Key_Return:
    case Qt::Key_Enter:
      if (!event->isAutoRepeat())
        window_->ChooseEntry(index);
      MoveTo(Resolve());
      break;
    case Qt::Key_Right:
      if (command == family && !open)
        window_->ShowMenuLayout(OpenLayoutOf(family));
      MoveTo(Resolve());
      break;
    case Qt::Key_Left:
      if (open) {
        command_ = family;
        window_->ShowMenuLayout(MenuLayout::Closed);
      }
      MoveTo(Resolve());
      break;
    default:
      QWidget::keyPressEvent(event);
      return;
  }
  event->accept();
}

void CCatalogueKeys::paintEvent(QPaintEvent*) {
  const int index = KeyEntry();
  if (index < 0)
    return;
  QPainter p(this);
  skin::DrawFocusRing(p, window_->Menu().Entry(index).rect.translated(-pos()));
}

void CCatalogueKeys::focusInEvent(QFocusEvent* event) {
  QWidget::focusInEvent(event);
  command_ = 0;  // the keys start on the entry of the page shown
  MoveTo(Resolve());
}

void CCatalogueKeys::focusOutEvent(QFocusEvent* event) {
  QWidget::focusOutEvent(event);
  update();
}
