#include "app/shell/SingleInstance.h"

#include <QLocalServer>
#include <QLocalSocket>

const char CSingleInstance::kRaiseRequest[] = "raise\n";

QStringList CSingleInstance::SearchedTitles() {
  return {QStringLiteral("Quorvel"), QStringLiteral("Dennart"), QStringLiteral("Dennart2")};
}

bool CSingleInstance::RaiseOtherInstance(int connectTimeoutMs) {
  for (const QString& title : SearchedTitles()) {
    QLocalSocket socket;
    socket.connectToServer(title);
    if (!socket.waitForConnected(connectTimeoutMs))
      continue;
    socket.write(kRaiseRequest);
    socket.waitForBytesWritten(connectTimeoutMs);
    socket.disconnectFromServer();
    if (socket.state() != QLocalSocket::UnconnectedState)
      socket.waitForDisconnected(connectTimeoutMs);
    return true;
  }
  return false;
}

CSingleInstance::CSingleInstance(QObject* parent)
    : QObject(parent), server_(new QLocalServer(this)) {
  server_->setSocketOptions(QLocalServer::UserAccessOption);
  connect(server_, &QLocalServer::newConnection, this, [this] {
    while (QLocalSocket* socket = server_->nextPendingConnection()) {
      connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
      auto handle = [this, socket] {
        if (socket->canReadLine() && socket->readLine() == kRaiseRequest && onRaise_)
          onRaise_();
      };
      connect(socket, &QLocalSocket::readyRead, this, handle);
      handle();
    }
  });
}

CSingleInstance::~CSingleInstance() { server_->close(); }

bool CSingleInstance::Listen(const QString& title, std::function<void()> onRaise) {
  onRaise_ = std::move(onRaise);
  if (server_->listen(title))
    return true;
  // The name is taken: by a live program (give up) or by the socket of one
  // that died (take it over).
  QLocalSocket probe;
  probe.connectToServer(title);
  if (probe.waitForConnected(200))
    return false;
  QLocalServer::removeServer(title);
  return server_->listen(title);
}
