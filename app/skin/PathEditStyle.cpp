#include "app/skin/PathEditStyle.h"

#include <QLineEdit>

namespace {
constexpr int kZpkPathEditId = 1015;
const char kEditStyle[] =
    "QLineEdit { border: 1px solid #CBD3DD; border-radius: 4px; padding: 0 6px;"
    " background: #F7F9FB; color: #1B2430; selection-background-color: #2F80ED; }"
    "QLineEdit:focus { border: 1px solid #2F80ED; background: #FFFFFF; }";
}  // namespace

void StylePathEdit(QLineEdit* edit, int id, const QString& placeholder) {
  edit->setObjectName(QStringLiteral("edit%1").arg(id));
  edit->setStyleSheet(QString::fromLatin1(kEditStyle));
  edit->setPlaceholderText(placeholder);
  // The box is known by the file it holds (the page shows no caption).
  edit->setAccessibleName(id == kZpkPathEditId ? QStringLiteral(".zpk file")
                                               : QStringLiteral(".bin file"));
}
