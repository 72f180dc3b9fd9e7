#include "app/pages/DeviceChangeWatcher.h"

#include <QFileSystemWatcher>
#include <QString>
#include <QTimer>

#include "device/PortNames.h"

struct CDeviceChangeWatcher::Backend {
  QFileSystemWatcher* watcher;
};

CDeviceChangeWatcher::CDeviceChangeWatcher(QObject* parent)
    : QObject(parent), settle_(new QTimer(this)), backend_(new Backend{new QFileSystemWatcher(this)}) {
  settle_->setSingleShot(true);
  settle_->setInterval(kSettleMs);
  connect(settle_, &QTimer::timeout, this, &CDeviceChangeWatcher::DeviceChanged);
  connect(backend_->watcher, &QFileSystemWatcher::directoryChanged, this, [this] { Touch(); });
  backend_->watcher->addPath(QString::fromStdString(varnok::PortDeviceDir()));
}

CDeviceChangeWatcher::~CDeviceChangeWatcher() { delete backend_; }

void CDeviceChangeWatcher::Touch() { settle_->start(); }
