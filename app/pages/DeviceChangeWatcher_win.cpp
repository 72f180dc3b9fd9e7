#include "app/pages/DeviceChangeWatcher.h"

#include <QAbstractNativeEventFilter>
#include <QCoreApplication>
#include <QTimer>

#include <windows.h>

struct CDeviceChangeWatcher::Backend : public QAbstractNativeEventFilter {
  explicit Backend(CDeviceChangeWatcher* owner) : owner(owner) {}
  bool nativeEventFilter(const QByteArray& type, void* message, qintptr*) override {
    if (type == "windows_generic_MSG" && static_cast<MSG*>(message)->message == WM_DEVICECHANGE)
      owner->Touch();
    return false;
  }
  CDeviceChangeWatcher* owner;
};

CDeviceChangeWatcher::CDeviceChangeWatcher(QObject* parent)
    : QObject(parent), settle_(new QTimer(this)), backend_(new Backend(this)) {
  settle_->setSingleShot(true);
  settle_->setInterval(kSettleMs);
  connect(settle_, &QTimer::timeout, this, &CDeviceChangeWatcher::DeviceChanged);
  QCoreApplication::instance()->installNativeEventFilter(backend_);
}

CDeviceChangeWatcher::~CDeviceChangeWatcher() {
  QCoreApplication::instance()->removeNativeEventFilter(backend_);
  delete backend_;
}

void CDeviceChangeWatcher::Touch() { settle_->start(); }
