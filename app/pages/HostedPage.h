#pragma once
// CHostedPage: one page of the main window, laid over its page area
// (617 x 486 at (157, 76)). The main window creates the pages once, hides
// and shows them, and drives them through the operations below. A page
// paints its backdrop bitmap over its whole client area, swallows Enter
// and Escape, and (product pages) reports every mouse move to the host
// with WM_CHILD_MOUSEMOVE.
//
// Keyboard: a page that shows gives the focus to its first control in tab
// order (as an activated dialog does), unless the focus is on a control
// of the window outside it (the catalogue); a page that hides takes the focus
// away from its controls, so no key reaches a page that is not shown.
//
// Threads: UI thread only.

#include <QRect>
#include <QWidget>

#include "app/skin/PageMessage.h"

class CWindowTimers;
class IPageHost;

class CHostedPage : public QWidget, public IPageMessageHandler {
  Q_OBJECT
 public:
  // Timer the main window sets (1 ms; 5 ms on the manual page) to make the
  // page refresh or show itself once.
  static constexpr int kTimerRefreshOnce = 2000;

  CHostedPage(IPageHost* host, QWidget* parent, int backdropId, bool reportsMouseMoves);
  ~CHostedPage() override;

  // The backdrop bitmap id the main window paints under the page.
  virtual int GetBackgroundImage() const { return backdropId_; }

  void SetActive(bool on) { active_ = on ? 1 : 0; }
  bool IsActive() const { return active_ != 0; }

  // The model variant (product code) the page serves.
  virtual void SetDevType(int devType) { devType_ = devType; }
  int DevType() const { return devType_; }
  // Puts the paths remembered for the variant into the path boxes.
  virtual void ReloadPaths() {}

  // The placement rectangle in screen coordinates.
  void SetPageRect(const QRect& screenRect) { pageRect_ = screenRect; }
  const QRect& PageRect() const { return pageRect_; }

  // Moves the page onto `screenRect` (screen coordinates) without showing it.
  void MoveToScreenRect(const QRect& screenRect);
  // Moves the page onto `screenRect`, shows it and refreshes it.
  virtual void PlaceAndShow(const QRect& screenRect);
  // Looks again for the tool and redraws what depends on it; `flag` is
  // 1 from place-and-show, 0 from the main window's frame painter.
  virtual void Refresh(int flag) { (void)flag; }

  // A data capture is running (the main window then ignores the mouse).
  virtual bool IsBusy() const { return false; }
  // Lets go of a serial port the page holds open.
  virtual void ReleasePort() {}

  void SetTimer(int id, int periodMs);
  void KillTimer(int id);
  bool IsTimerSet(int id) const;
  int TimerPeriod(int id) const;

  long OnPageMessage(unsigned message, quintptr wParam, qintptr lParam) override;

 protected:
  // Timer 2000 by default refreshes once and stops.
  virtual void OnTimer(int id);
  IPageHost* Host() const { return host_; }

  bool event(QEvent* event) override;
  void showEvent(QShowEvent* event) override;
  void hideEvent(QHideEvent* event) override;
  void paintEvent(QPaintEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  // Presses on the page's own face end here: only the main window's face
  // drags the window (an ignored press would travel up to it).
  void mousePressEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;

 private:
  IPageHost* host_;
  int backdropId_;
  bool reportsMouseMoves_;
  int active_ = 0;
  int devType_ = 1;
  QRect pageRect_;
  CWindowTimers* timers_;
};
