#include "app/dataview/DataViewAccessible.h"

#include <QAccessibleWidget>
#include <QScrollBar>

#include <algorithm>

#include "app/dataview/MyRichEdit.h"

namespace {

class CDataViewAccessible : public QAccessibleWidget, public QAccessibleTextInterface {
 public:
  explicit CDataViewAccessible(CMyRichEdit* view)
      : QAccessibleWidget(view, QAccessible::EditableText), view_(view) {}

  void* interface_cast(QAccessible::InterfaceType type) override {
    if (type == QAccessible::TextInterface)
      return static_cast<QAccessibleTextInterface*>(this);
    return QAccessibleWidget::interface_cast(type);
  }
  QAccessible::State state() const override {
    QAccessible::State s = QAccessibleWidget::state();
    s.editable = true;
    s.multiLine = true;
    s.selectableText = true;
    return s;
  }
  QString text(QAccessible::Text t) const override {
    if (t == QAccessible::Value)
      return view_->Text();
    return QAccessibleWidget::text(t);
  }

  void selection(int index, int* start, int* end) const override {
    *start = *end = 0;
    const CViewCursor c = view_->textCursor();
    if (index == 0 && c.hasSelection()) {
      *start = c.selectionStart();
      *end = c.selectionEnd();
    }
  }
  int selectionCount() const override { return view_->textCursor().hasSelection() ? 1 : 0; }
  void addSelection(int start, int end) override { setSelection(0, start, end); }
  void removeSelection(int) override { setCursorPosition(cursorPosition()); }
  void setSelection(int, int start, int end) override {
    view_->SetCharacterSelection(start, end);
  }
  int cursorPosition() const override { return view_->textCursor().position(); }
  void setCursorPosition(int position) override { view_->SetCharacterSelection(position, position); }
  QString text(int start, int end) const override {
    return view_->Text().mid(start, std::max(0, end - start));
  }
  int characterCount() const override { return view_->document()->characterCount() - 1; }
  QRect characterRect(int) const override { return QRect(); }
  int offsetAtPoint(const QPoint&) const override { return -1; }
  void scrollToSubstring(int start, int) override { setCursorPosition(start); }
  QString attributes(int offset, int* start, int* end) const override {
    *start = *end = offset;
    return QString();
  }

 private:
  CMyRichEdit* view_;
};

}  // namespace

QAccessibleInterface* DataViewAccessibleFactory(const QString& className, QObject* object) {
  if (className == QLatin1String("CMyRichEdit") && object != nullptr && object->isWidgetType())
    return new CDataViewAccessible(static_cast<CMyRichEdit*>(object));
  return nullptr;
}
