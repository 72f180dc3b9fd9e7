#include "app/skin/PageMessage.h"

#include <QCoreApplication>

PageMessageEvent::PageMessageEvent(unsigned msg, quintptr w, qintptr l)
    : QEvent(EventType()), message(msg), wParam(w), lParam(l) {}

QEvent::Type PageMessageEvent::EventType() {
  static const QEvent::Type type = static_cast<QEvent::Type>(QEvent::registerEventType());
  return type;
}

long SendPageMessage(QObject* target, unsigned message, quintptr wParam, qintptr lParam) {
  if (target == nullptr)
    return 0;
  PageMessageEvent event(message, wParam, lParam);
  QCoreApplication::sendEvent(target, &event);
  return event.result;
}

bool RoutePageMessage(QEvent* event, IPageMessageHandler* handler) {
  if (event->type() != PageMessageEvent::EventType() || handler == nullptr)
    return false;
  auto* pm = static_cast<PageMessageEvent*>(event);
  pm->result = handler->OnPageMessage(pm->message, pm->wParam, pm->lParam);
  return true;
}
