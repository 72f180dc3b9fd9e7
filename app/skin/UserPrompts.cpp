#include "app/skin/UserPrompts.h"

#include <QDesktopServices>
#include <QFileDialog>
#include <QMessageBox>
#include <QPainter>
#include <QPushButton>
#include <QUrl>

namespace prompts {

namespace {
MessageHook& Messages() {
  static MessageHook hook;
  return hook;
}
OpenFileHook& OpenFiles() {
  static OpenFileHook hook;
  return hook;
}
OpenDocumentHook& OpenDocuments() {
  static OpenDocumentHook hook;
  return hook;
}

// The message boxes follow the flat skin: white face, the skin's ink and
// accent, a round badge instead of the platform's icon, a plain OK button.
const char kBoxStyle[] =
    "QMessageBox { background: #FFFFFF; }"
    "QMessageBox QLabel { color: #1B2430; font-size: 13px; }"
    "QMessageBox QPushButton { min-width: 84px; min-height: 26px; border-radius: 6px;"
    " border: none; background: #2F80ED; color: #FFFFFF; font-weight: bold; padding: 0 14px; }"
    "QMessageBox QPushButton:hover { background: #3A8BF5; }"
    "QMessageBox QPushButton:pressed { background: #1F5FBF; }"
    "QMessageBox QPushButton:focus { outline: none; }";

QPixmap Badge(MessageIcon icon) {
  const int size = 36;
  QPixmap pixmap(size, size);
  pixmap.fill(Qt::transparent);
  QPainter p(&pixmap);
  p.setRenderHint(QPainter::Antialiasing, true);
  p.setPen(Qt::NoPen);
  p.setBrush(icon == MessageIcon::Error ? QColor(0xD6, 0x45, 0x45) : QColor(0xF0, 0x9A, 0x1E));
  p.drawEllipse(QRectF(1, 1, size - 2, size - 2));
  p.setBrush(Qt::white);
  // An exclamation mark: a bar and a dot.
  p.drawRoundedRect(QRectF(size / 2.0 - 2, 8, 4, 14), 2, 2);
  p.drawEllipse(QPointF(size / 2.0, 27), 2.4, 2.4);
  return pixmap;
}
}  // namespace

void SetMessageHook(MessageHook hook) { Messages() = std::move(hook); }
void SetOpenFileHook(OpenFileHook hook) { OpenFiles() = std::move(hook); }
void SetOpenDocumentHook(OpenDocumentHook hook) { OpenDocuments() = std::move(hook); }

namespace {
// A closed dialog hands the keyboard back to the window it came from: a
// window system without a manager (a bare X server) leaves it nowhere.
void ReturnKeyboard(QWidget* parent) {
  if (parent != nullptr && parent->window()->isVisible())
    parent->window()->activateWindow();
}
}  // namespace

void ShowMessage(QWidget* parent, const QString& text, MessageIcon icon) {
  if (Messages()) {
    Messages()(parent, text);
    return;
  }
  QMessageBox box(QMessageBox::NoIcon, QStringLiteral("Varnok"), text, QMessageBox::Ok, parent);
  box.setIconPixmap(Badge(icon));
  box.setStyleSheet(QString::fromLatin1(kBoxStyle));
  if (QAbstractButton* ok = box.button(QMessageBox::Ok))
    ok->setIcon(QIcon());
  box.exec();
  ReturnKeyboard(parent);
}

void OpenDocument(const QString& path) {
  if (OpenDocuments()) {
    OpenDocuments()(path);
    return;
  }
  QDesktopServices::openUrl(QUrl::fromLocalFile(path));
}

QString ChooseOpenFile(QWidget* parent, const QString& filter, const QString& startPath) {
  if (OpenFiles())
    return OpenFiles()(parent, filter, startPath);
  QFileDialog dialog(parent, QString(), startPath, filter);
  dialog.setFileMode(QFileDialog::ExistingFile);
  dialog.setOption(QFileDialog::HideNameFilterDetails);
  if (!startPath.isEmpty())
    dialog.selectFile(startPath);
  const bool chosen = dialog.exec() == QDialog::Accepted && !dialog.selectedFiles().isEmpty();
  ReturnKeyboard(parent);
  if (!chosen)
    return QString();
  return dialog.selectedFiles().constFirst();
}

QString FilterFor(const QString& pattern) {
  // Each letter as [lower upper], so that dialogs that match patterns
  // case-sensitively list every case.
  QString anyCase;
  for (const QChar c : pattern) {
    if (!c.isLetter()) {
      anyCase += c;
      continue;
    }
    anyCase += QLatin1Char('[');
    anyCase += c.toLower();
    anyCase += c.toUpper();
    anyCase += QLatin1Char(']');
  }
  return pattern + QStringLiteral(" (") + anyCase + QLatin1Char(')');
}

}  // namespace prompts
