#pragma once
// The single-instance rule. Every running program of the family listens on
// a local socket named after its window title ("Quorvel", "Dennart",
// "Dennart2"); a new start asks each in that order and, when one answers,
// tells it to raise its window and gives way.
//
// The socket names live in the user's temporary folder (QDir::tempPath(),
// $TMPDIR), so separate users and separate test folders do not meet.
// Threads: UI thread.

#include <QObject>
#include <QString>
#include <QStringList>

#include <functional>

class QLocalServer;

class CSingleInstance : public QObject {
  Q_OBJECT
 public:
  // Titles searched at start, in order.
  static QStringList SearchedTitles();
  // What a new start sends to the instance it found.
  static const char kRaiseRequest[];

  // Asks the instances in SearchedTitles() order; the first that accepts
  // the connection is told to raise its window. True when one was found.
  static bool RaiseOtherInstance(int connectTimeoutMs = 500);

  explicit CSingleInstance(QObject* parent = nullptr);
  ~CSingleInstance() override;

  // Starts answering under `title`; `onRaise` runs for each raise request.
  // A socket left behind by a program that died is replaced. False when the
  // name cannot be taken.
  bool Listen(const QString& title, std::function<void()> onRaise);

 private:
  QLocalServer* server_;
  std::function<void()> onRaise_;
};
