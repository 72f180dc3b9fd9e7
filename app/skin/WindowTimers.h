#pragma once
// Numbered one-window timers: SetTimer(id, ms) starts (or restarts) the
// timer `id`, KillTimer(id) stops it, and every tick calls the owner's
// callback with the id. The ids are the program's own constants (501,
// 2000, ...), independent of Qt's timer ids.
//
// Threads: UI thread only.

#include <QObject>

#include <functional>
#include <map>

class QTimer;

class CWindowTimers : public QObject {
  Q_OBJECT
 public:
  using TickHandler = std::function<void(int id)>;

  CWindowTimers(TickHandler onTick, QObject* parent);

  void SetTimer(int id, int periodMs);
  void KillTimer(int id);
  bool IsSet(int id) const;
  // Period of a running timer, -1 when it is not set.
  int Period(int id) const;

 private:
  TickHandler onTick_;
  std::map<int, QTimer*> timers_;
};
