// The text goes into a private temporary file that the desktop opens.
#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QTemporaryFile>
#include <QUrl>

#include "app/dataview/TextEditorHandoff.h"

namespace {
std::function<bool(const QString&)>& Opener() {
  static std::function<bool(const QString&)> opener;
  return opener;
}
}  // namespace

void SetTextFileOpener(std::function<bool(const QString& path)> opener) {
  Opener() = std::move(opener);
}

bool EditInTextEditor(QWidget*, const QString& text) {
  // The editor reads the file after we return, so it stays; the name is
  // unique and only the user can read it.
  QTemporaryFile file(QDir::tempPath() + QStringLiteral("/varnok-capture-XXXXXX.txt"));
  file.setAutoRemove(false);
  if (!file.open())
    return false;
  file.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner);
  const QByteArray bytes = text.toUtf8();
  const bool written = file.write(bytes) == bytes.size() && file.flush();
  const QString path = file.fileName();
  file.close();
  if (!written) {
    QFile::remove(path);
    return false;
  }
  if (Opener())
    return Opener()(path);
  return QDesktopServices::openUrl(QUrl::fromLocalFile(path));
}
