#pragma once
// Window messages between the main window, its pages and the skinned
// controls. The numbers are the program's own and stay as they are; every
// message travels as a PageMessageEvent through SendPageMessage (handled
// before it returns, like a sent window message). A receiver implements IPageMessageHandler and routes the event
// to it from its event() override with RoutePageMessage().
//
// Threads: UI thread only (the receiver's thread).

#include <QEvent>
#include <QtGlobal>

class QObject;

// WM_APP + 100: paint the main window's frame for a page.
// wParam = paint code (or a control id), lParam = mode (see CVarnokDlg).
constexpr unsigned WM_SHOW_PAGE = 0x8064;
// A product page's poll of the tool's port: wParam 0; lParam 1 when a port
// is known, 0 when none (the QV220 page sends it only with a port known, the
// PX110 page on every tick). The QV120 page alone sends lParam 1 when its
// poll found no tool, and nothing when it found one. The main window draws
// nothing for it (the pages draw their own port indicators).
constexpr unsigned WM_LINK_STATE = 0x7EB;
// The pointer moved over a product page: wParam 0, lParam 0.
constexpr unsigned WM_CHILD_MOUSEMOVE = 0x7ED;

// Modes of WM_SHOW_PAGE.
constexpr int kShowPageSelect = 0;  // the main window after a selection
constexpr int kShowPageHover = 1;   // a skinned push button reports the pointer over it
constexpr int kShowPageLeave = 2;   // ... and the pointer leaving it

class IPageMessageHandler {
 public:
  virtual ~IPageMessageHandler() = default;
  // Returns the message result; 0 when the message is not handled.
  virtual long OnPageMessage(unsigned message, quintptr wParam, qintptr lParam) = 0;
};

class PageMessageEvent : public QEvent {
 public:
  PageMessageEvent(unsigned message, quintptr wParam, qintptr lParam);
  static QEvent::Type EventType();

  unsigned message;
  quintptr wParam;
  qintptr lParam;
  long result = 0;
};

// Delivers the message now and returns the receiver's result (0 when the
// receiver does not handle page messages).
long SendPageMessage(QObject* target, unsigned message, quintptr wParam, qintptr lParam);

// For event() overrides: true when `event` was a page message and went to
// `handler`.
bool RoutePageMessage(QEvent* event, IPageMessageHandler* handler);
