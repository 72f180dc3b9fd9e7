#include "app/pages/HostedPage.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>

#include "app/pages/PageHost.h"
#include "app/skin/SafeDC.h"
#include "app/skin/WindowTimers.h"

CHostedPage::CHostedPage(IPageHost* host, QWidget* parent, int backdropId, bool reportsMouseMoves)
    : QWidget(parent),
      host_(host),
      backdropId_(backdropId),
      reportsMouseMoves_(reportsMouseMoves),
      timers_(new CWindowTimers([this](int id) { OnTimer(id); }, this)) {
  setAttribute(Qt::WA_OpaquePaintEvent);
  setMouseTracking(true);
  resize(617, 486);
  hide();
}

CHostedPage::~CHostedPage() = default;

void CHostedPage::MoveToScreenRect(const QRect& screenRect) {
  QWidget* parent = parentWidget();
  const QPoint topLeft = parent != nullptr ? parent->mapFromGlobal(screenRect.topLeft())
                                           : screenRect.topLeft();
  setGeometry(QRect(topLeft, screenRect.size()));
}

void CHostedPage::PlaceAndShow(const QRect& screenRect) {
  MoveToScreenRect(screenRect);
  show();
  Refresh(1);
}

void CHostedPage::SetTimer(int id, int periodMs) { timers_->SetTimer(id, periodMs); }
void CHostedPage::KillTimer(int id) { timers_->KillTimer(id); }
bool CHostedPage::IsTimerSet(int id) const { return timers_->IsSet(id); }
int CHostedPage::TimerPeriod(int id) const { return timers_->Period(id); }

void CHostedPage::OnTimer(int id) {
  if (id == kTimerRefreshOnce) {
    KillTimer(id);
    Refresh(1);
  }
}

long CHostedPage::OnPageMessage(unsigned, quintptr, qintptr) { return 0; }

bool CHostedPage::event(QEvent* event) {
  if (RoutePageMessage(event, this))
    return true;
  return QWidget::event(event);
}

void CHostedPage::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  // The keyboard stays where it is when it is on a control outside the
  // page (the catalogue that chose the page).
  if (QWidget* focus = window()->focusWidget();
      focus != nullptr && focus->isVisible() && !isAncestorOf(focus))
    return;
  for (QWidget* w = nextInFocusChain(); w != nullptr && w != this; w = w->nextInFocusChain()) {
    if (isAncestorOf(w) && w->isVisibleTo(this) && w->isEnabled() &&
        (w->focusPolicy() & Qt::TabFocus) != 0) {
      w->setFocus(Qt::TabFocusReason);
      return;
    }
  }
}

void CHostedPage::hideEvent(QHideEvent* event) {
  // Left alone, Qt keeps the focus on a hidden control when no other one
  // can take it, and keys typed then would land here.
  QWidget* focus = QApplication::focusWidget();
  if (focus != nullptr && isAncestorOf(focus))
    focus->clearFocus();
  // A window that keeps its focus widget hands it back when it is
  // activated again.
  if (QWidget* top = window(); top != nullptr && top->focusWidget() != nullptr &&
                               isAncestorOf(top->focusWidget()))
    top->focusWidget()->clearFocus();
  QWidget::hideEvent(event);
}

void CHostedPage::paintEvent(QPaintEvent*) {
  QPainter p(this);
  CSafeDC dc(&p, rect());
  dc.DrawBitmap(GetBackgroundImage(), 0, 0, width(), height());
}

void CHostedPage::keyPressEvent(QKeyEvent* event) {
  switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Escape:
      event->accept();
      return;
    default:
      QWidget::keyPressEvent(event);
  }
}

void CHostedPage::mousePressEvent(QMouseEvent* event) { event->accept(); }

void CHostedPage::mouseReleaseEvent(QMouseEvent* event) { event->accept(); }

void CHostedPage::mouseMoveEvent(QMouseEvent* event) {
  if (reportsMouseMoves_ && host_ != nullptr)
    SendPageMessage(host_->HostWindow(), WM_CHILD_MOUSEMOVE, 0, 0);
  QWidget::mouseMoveEvent(event);
}
