#include "app/shell/MainWindowAccessible.h"

#include <QAccessibleWidget>
#include <QPointer>

#include <mutex>

#include "app/shell/Catalogue.h"
#include "app/shell/VarnokDlg.h"
#include "app/skin/ButtonGroup.h"
#include "app/skin/PortIndicator.h"
#include "update/ConfigHelper.h"

namespace {

// The painted items are numbered: menu entries 0 .. count - 1, then the
// port indicator and the version line. The menu has at most this many
// entries (QV layout).
constexpr int kMaxEntries = 10;
constexpr int kIndicatorSlot = kMaxEntries;
constexpr int kVersionSlot = kMaxEntries + 1;
constexpr int kSlots = kMaxEntries + 2;

class CPaintedItem : public QAccessibleInterface, public QAccessibleActionInterface {
 public:
  CPaintedItem(CVarnokDlg* window, int slot) : window_(window), slot_(slot) {}

  bool IsIndicator() const { return slot_ == kIndicatorSlot; }
  bool IsVersion() const { return slot_ == kVersionSlot; }
  bool IsEntry() const { return slot_ < kMaxEntries; }
  const MenuEntry* Entry() const {
    if (window_ == nullptr || !IsEntry() || slot_ >= window_->Menu().Count())
      return nullptr;
    return &window_->Menu().Entry(slot_);
  }

  bool isValid() const override {
    if (window_ == nullptr)
      return false;
    if (IsIndicator())
      return !window_->PortIndicatorText().isEmpty();
    if (IsVersion())
      return window_->IsInitialised();
    return Entry() != nullptr;
  }
  QObject* object() const override { return nullptr; }
  QWindow* window() const override {
    return window_ != nullptr ? window_->windowHandle() : nullptr;
  }
  QAccessibleInterface* parent() const override {
    return QAccessible::queryAccessibleInterface(window_.data());
  }
  QAccessibleInterface* child(int) const override { return nullptr; }
  int childCount() const override { return 0; }
  int indexOfChild(const QAccessibleInterface*) const override { return -1; }
  QAccessibleInterface* childAt(int, int) const override { return nullptr; }

  QString text(QAccessible::Text t) const override {
    if (t != QAccessible::Name || window_ == nullptr)
      return QString();
    if (IsIndicator())
      return window_->PortIndicatorText();
    if (IsVersion())
      return QString::fromStdWString(CConfigHelper::GetInstance().GetVersionText());
    const MenuEntry* e = Entry();
    return e != nullptr ? QString::fromLatin1(EntryName(e->command)) : QString();
  }
  void setText(QAccessible::Text, const QString&) override {}

  QRect rect() const override {
    if (window_ == nullptr)
      return QRect();
    QRect r;
    if (IsIndicator())
      r = indicator::StripRect(0);
    else if (IsVersion())
      r = geo::VersionLine();
    else if (const MenuEntry* e = Entry())
      r = e->rect;
    return QRect(window_->mapToGlobal(r.topLeft()), r.size());
  }
  QAccessible::Role role() const override {
    if (IsVersion())
      return QAccessible::StaticText;
    return IsIndicator() ? QAccessible::StatusBar : QAccessible::PageTab;
  }
  QAccessible::State state() const override {
    QAccessible::State s;
    if (window_ == nullptr || !window_->isVisible()) {
      s.invisible = true;
      return s;
    }
    if (const MenuEntry* e = Entry()) {
      s.selectable = true;
      s.focusable = true;
      s.focused = window_->KeyEntry() == slot_;
      s.disabled = window_->IsBusy();
      s.selected = window_->IsEntryCurrent(e->command);
      if (e->command == cmd::kQvFamily || e->command == cmd::kPxFamily) {
        s.expandable = true;
        s.expanded = window_->CurrentLayout() ==
                     (e->command == cmd::kQvFamily ? MenuLayout::Qv : MenuLayout::Px);
        s.collapsed = !s.expanded;
      }
    } else {
      s.readOnly = true;
    }
    return s;
  }
  void* interface_cast(QAccessible::InterfaceType type) override {
    if (type == QAccessible::ActionInterface && IsEntry())
      return static_cast<QAccessibleActionInterface*>(this);
    return nullptr;
  }

  // QAccessibleActionInterface.
  QStringList actionNames() const override { return {pressAction()}; }
  // As a click: held back while the window is busy.
  void doAction(const QString& name) override {
    if (name == pressAction() && window_ != nullptr && Entry() != nullptr)
      window_->ChooseEntry(slot_);
  }
  QStringList keyBindingsForAction(const QString&) const override { return {}; }

 private:
  QPointer<CVarnokDlg> window_;
  int slot_;
};

class CMainWindowAccessible : public QAccessibleWidget {
 public:
  explicit CMainWindowAccessible(CVarnokDlg* w) : QAccessibleWidget(w, QAccessible::Dialog) {
    for (int slot = 0; slot < kSlots; ++slot) {
      auto* item = new CPaintedItem(w, slot);
      // The cache owns the items and gives them stable ids for the bridge.
      ids_[slot] = QAccessible::registerAccessibleInterface(item);
      items_[slot] = item;
    }
  }
  ~CMainWindowAccessible() override {
    for (QAccessible::Id id : ids_)
      QAccessible::deleteAccessibleInterface(id);
  }

  CVarnokDlg* Window() const { return static_cast<CVarnokDlg*>(widget()); }
  CPaintedItem* Item(int slot) const {
    return slot >= 0 && slot < kMaxEntries ? items_[slot] : nullptr;
  }

  // Busy while a page holds the window (the wait cursor a person sees).
  QAccessible::State state() const override {
    QAccessible::State s = QAccessibleWidget::state();
    s.busy = Window()->IsBusy();
    return s;
  }

  // The painted items that exist now, in order.
  std::vector<CPaintedItem*> Painted() const {
    std::vector<CPaintedItem*> shown;
    for (CPaintedItem* item : items_)
      if (item->isValid())
        shown.push_back(item);
    return shown;
  }

  int childCount() const override {
    return static_cast<int>(Painted().size()) + QAccessibleWidget::childCount();
  }
  QAccessibleInterface* child(int index) const override {
    const std::vector<CPaintedItem*> painted = Painted();
    if (index >= 0 && index < static_cast<int>(painted.size()))
      return painted[static_cast<size_t>(index)];
    return QAccessibleWidget::child(index - static_cast<int>(painted.size()));
  }
  int indexOfChild(const QAccessibleInterface* child) const override {
    const std::vector<CPaintedItem*> painted = Painted();
    for (size_t i = 0; i < painted.size(); ++i)
      if (painted[i] == child)
        return static_cast<int>(i);
    const int widgetIndex = QAccessibleWidget::indexOfChild(child);
    return widgetIndex < 0 ? -1 : widgetIndex + static_cast<int>(painted.size());
  }
  QAccessibleInterface* childAt(int x, int y) const override {
    for (CPaintedItem* item : Painted())
      if (item->rect().contains(x, y))
        return item;
    return QAccessibleWidget::childAt(x, y);
  }

 private:
  QAccessible::Id ids_[kSlots] = {};
  CPaintedItem* items_[kSlots] = {};
};

QAccessibleInterface* Factory(const QString& className, QObject* object) {
  if (object == nullptr || !object->isWidgetType())
    return nullptr;
  if (className == QLatin1String("CVarnokDlg"))
    return new CMainWindowAccessible(static_cast<CVarnokDlg*>(object));
  // The catalogue's keyboard stand-in: the list of the entry tabs.
  if (className == QLatin1String("CCatalogueKeys"))
    return new QAccessibleWidget(static_cast<QWidget*>(object), QAccessible::PageTabList);
  return nullptr;
}

}  // namespace

void NotifyCatalogueFocus(CVarnokDlg* window, int entryIndex) {
  if (window == nullptr || !QAccessible::isActive() || window->KeyEntry() < 0)
    return;
  auto* main = static_cast<CMainWindowAccessible*>(QAccessible::queryAccessibleInterface(window));
  if (main == nullptr)
    return;
  CPaintedItem* item = main->Item(entryIndex);
  if (item == nullptr || !item->isValid())
    return;
  QAccessibleEvent focus(item, QAccessible::Focus);
  QAccessible::updateAccessibility(&focus);
  QAccessible::State changed;
  changed.focused = true;
  QAccessibleStateChangeEvent state(item, changed);
  QAccessible::updateAccessibility(&state);
}

void InstallMainWindowAccessible() {
  static std::once_flag once;
  std::call_once(once, [] { QAccessible::installFactory(Factory); });
}

void NotifyCatalogueLayout(CVarnokDlg* window) {
  if (window == nullptr || !QAccessible::isActive())
    return;
  auto* main = static_cast<CMainWindowAccessible*>(QAccessible::queryAccessibleInterface(window));
  if (main == nullptr)
    return;
  // An entry object stands for a place in the catalogue: after a new
  // layout the same object may name another entry, and a listener that
  // keeps names must hear it.
  for (CPaintedItem* item : main->Painted()) {
    if (item->role() != QAccessible::PageTab)
      continue;
    QAccessibleEvent renamed(item, QAccessible::NameChanged);
    QAccessible::updateAccessibility(&renamed);
  }
}

void NotifyMainWindowAccessible(CVarnokDlg* window) {
  if (window == nullptr || !QAccessible::isActive())
    return;
  QAccessibleEvent changed(window, QAccessible::NameChanged);
  QAccessible::updateAccessibility(&changed);
  QAccessibleEvent selection(window, QAccessible::SelectionWithin);
  QAccessible::updateAccessibility(&selection);
}
