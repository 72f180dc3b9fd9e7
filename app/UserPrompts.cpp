#include "app/UserPrompts.h"

#include <QFileDialog>
#include <QMessageBox>

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
}  // namespace

void SetMessageHook(MessageHook hook) { Messages() = std::move(hook); }
void SetOpenFileHook(OpenFileHook hook) { OpenFiles() = std::move(hook); }

void ShowMessage(QWidget* parent, const QString& text) {
  if (Messages()) {
    Messages()(parent, text);
    return;
  }
  QMessageBox box(QMessageBox::Warning, QStringLiteral("Varnok"), text, QMessageBox::Ok, parent);
  box.exec();
}

QString ChooseOpenFile(QWidget* parent, const QString& filter, const QString& startPath) {
  if (OpenFiles())
    return OpenFiles()(parent, filter, startPath);
  QFileDialog dialog(parent, QString(), startPath, filter);
  dialog.setFileMode(QFileDialog::ExistingFile);
  if (!startPath.isEmpty())
    dialog.selectFile(startPath);
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
    return QString();
  return dialog.selectedFiles().constFirst();
}

}  // namespace prompts
