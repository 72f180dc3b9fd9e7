#include "app/dataview/CaptureLink.h"

#include <QCoreApplication>
#include <QEvent>

#include "device/TraceFolder.h"

namespace {
QEvent::Type WakeEventType() {
  static const QEvent::Type type = static_cast<QEvent::Type>(QEvent::registerEventType());
  return type;
}
}  // namespace

CCaptureLink::CCaptureLink(ByteHandler onByte, GoneHandler onGone, QObject* parent,
                           BatchHandler onBatch)
    : QObject(parent),
      onByte_(std::move(onByte)),
      onGone_(std::move(onGone)),
      onBatch_(std::move(onBatch)) {}

CCaptureLink::~CCaptureLink() { Shutdown(); }

int CCaptureLink::Open(int port) {
  gone_ = false;
  shutDown_ = false;
  EndTrace();
  trace_ = varnok::CreateTraceFromEnvironment({"varnok", "", "", "data"});
  port_.SetTrace(trace_);
  const int r = port_.Open(this, port, kBaud, 'N', 8, 1, kEventMask, kWriteBuffer);
  openFailed_ = r != 1;
  return r;
}

int CCaptureLink::StartMonitor() { return port_.StartMonitor(); }

void CCaptureLink::EndTrace() {
  if (trace_) trace_->End(gone_.load() ? "port-gone" : "closed");
  trace_.reset();
}

void CCaptureLink::Close() {
  port_.Close();
  EndTrace();
  DeliverPending();
}

void CCaptureLink::Shutdown() {
  shutDown_ = true;
  port_.Close();
  EndTrace();
  std::lock_guard<std::mutex> lock(queueLock_);
  queue_.clear();
}

void CCaptureLink::OnSerialMessage(unsigned message, unsigned wParam, int) {
  if (message == WM_COMM_PORT_GONE) {
    gone_ = true;
    if (!wakePosted_.exchange(true))
      QCoreApplication::postEvent(this, new QEvent(WakeEventType()));
    return;
  }
  if (message != WM_COMM_RXCHAR)
    return;  // the page listens to received characters and the hang-up only
  {
    std::lock_guard<std::mutex> lock(queueLock_);
    queue_.push_back(static_cast<char>(wParam & 0xFF));
  }
  received_.fetch_add(1, std::memory_order_relaxed);
  if (!wakePosted_.exchange(true))
    QCoreApplication::postEvent(this, new QEvent(WakeEventType()));
}

void CCaptureLink::DeliverPending() {
  if (shutDown_ || delivering_)
    return;  // a delivery in progress takes the rest itself
  delivering_ = true;
  // Cleared before the queue is taken: a byte queued after the swap posts
  // a new wake-up.
  wakePosted_ = false;
  {
    std::lock_guard<std::mutex> lock(queueLock_);
    taken_.clear();
    taken_.swap(queue_);
  }
  if (!taken_.empty() && onBatch_)
    onBatch_();
  for (char byte : taken_) {
    ++delivered_;
    if (onByte_)
      onByte_(static_cast<unsigned char>(byte));
    if (shutDown_)
      break;
  }
  delivering_ = false;
  if (!shutDown_ && gone_.exchange(false) && onGone_)
    onGone_();
}

bool CCaptureLink::event(QEvent* event) {
  if (event->type() == WakeEventType()) {
    DeliverPending();
    return true;
  }
  return QObject::event(event);
}
