#include "app/skin/WindowTimers.h"

#include <QTimer>

CWindowTimers::CWindowTimers(TickHandler onTick, QObject* parent)
    : QObject(parent), onTick_(std::move(onTick)) {}

void CWindowTimers::SetTimer(int id, int periodMs) {
  QTimer*& timer = timers_[id];
  if (timer == nullptr) {
    timer = new QTimer(this);
    timer->setTimerType(Qt::PreciseTimer);
    connect(timer, &QTimer::timeout, this, [this, id] {
      if (onTick_)
        onTick_(id);
    });
  }
  timer->start(periodMs);
}

void CWindowTimers::KillTimer(int id) {
  auto it = timers_.find(id);
  if (it != timers_.end())
    it->second->stop();
}

bool CWindowTimers::IsSet(int id) const {
  auto it = timers_.find(id);
  return it != timers_.end() && it->second->isActive();
}

int CWindowTimers::Period(int id) const {
  return IsSet(id) ? timers_.at(id)->interval() : -1;
}
