#pragma once
// CDeviceChangeWatcher: tells when tool ports may have come or gone, and
// reports a burst of changes once, kSettleMs after it settles.
// POSIX (DeviceChangeWatcher_posix.cpp): watches the folder that holds the
// port devices ($VARNOK_DEV_DIR or /dev). Windows
// (DeviceChangeWatcher_win.cpp): the system's device-change broadcast.
// Threads: UI thread only.

#include <QObject>

class QTimer;

class CDeviceChangeWatcher : public QObject {
  Q_OBJECT
 public:
  static constexpr int kSettleMs = 150;

  explicit CDeviceChangeWatcher(QObject* parent = nullptr);
  ~CDeviceChangeWatcher() override;

 signals:
  void DeviceChanged();

 private:
  // Restarts the settle timer; the backends call it for every change seen.
  void Touch();

  QTimer* settle_;
  struct Backend;
  Backend* backend_;
};
