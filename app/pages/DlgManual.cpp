#include "app/pages/DlgManual.h"

#include <QDir>
#include <QKeySequence>
#include <QShortcut>
#include <QFileIconProvider>
#include <QHeaderView>
#include <QTreeWidget>

#include "app/skin/UserPrompts.h"
#include "update/ConfigHelper.h"

namespace {
const char kListStyle[] =
    "QTreeWidget { background: #FFFFFF; color: #1B2430; border: none; }"
    "QTreeWidget::item { height: 24px; }"
    "QTreeWidget::item:selected { background: #2F80ED; color: #FFFFFF; }";
}  // namespace

CDlgManual::CDlgManual(IPageHost* host, QWidget* parent, const QString& folder)
    : CHostedPage(host, parent, kBackdrop, false),
      folder_(folder.isEmpty()
                  ? QString::fromStdString(CConfigHelper::GetInstance().GetModuleDir()) +
                        QStringLiteral("manual")
                  : folder),
      list_(new QTreeWidget(this)) {
  list_->setObjectName(QStringLiteral("list1038"));
  list_->setAccessibleName(QStringLiteral("Manuals"));
  list_->setColumnCount(1);
  list_->setHeaderLabels({QStringLiteral("filename")});
  list_->header()->hide();
  list_->setColumnWidth(0, kNameColumnWidth);
  list_->setRootIsDecorated(false);
  list_->setSelectionMode(QAbstractItemView::SingleSelection);
  list_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  list_->setStyleSheet(QString::fromLatin1(kListStyle));
  list_->setGeometry(kListX, kListY, kListW, kListH);
  // The name column is wider than the list: a long name is reached by
  // scrolling, and read whole in the row's tool tip.
  list_->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
  list_->setTextElideMode(Qt::ElideMiddle);
  // Only a double-click on a row reaches here; the empty area below the
  // last row gives none.
  connect(list_, &QTreeWidget::itemDoubleClicked, this,
          [this](QTreeWidgetItem* item) { OpenRow(item); });
  // Without a mouse: Enter opens the row the arrow keys chose.
  for (const int key : {int(Qt::Key_Return), int(Qt::Key_Enter)}) {
    auto* open = new QShortcut(QKeySequence(key), list_, nullptr, nullptr, Qt::WidgetShortcut);
    connect(open, &QShortcut::activated, this, [this] { OpenRow(list_->currentItem()); });
  }
  SetTimer(kTimerLoad, kLoadDelayMs);
}

void CDlgManual::OnTimer(int id) {
  if (id == kTimerLoad) {
    KillTimer(id);
    LoadDocuments();
    return;
  }
  if (id == kTimerRefreshOnce) {
    KillTimer(id);
    PlaceAndShow(PageRect());
    return;
  }
  CHostedPage::OnTimer(id);
}

void CDlgManual::LoadDocuments() {
  documents_.clear();
  const QDir dir(folder_);
  // Every entry but "." and ".." and folders, hidden and system files too
  // (on POSIX: dot files, sockets, pipes, devices, broken links), unsorted:
  // the order the file system gives.
  const QFileInfoList entries =
      dir.entryInfoList(QDir::Files | QDir::Hidden | QDir::System, QDir::Unsorted);
  for (const QFileInfo& info : entries)
    documents_.push_back({info.absoluteFilePath(), info.fileName()});
  Fill();
}

void CDlgManual::Fill() {
  list_->clear();
  QFileIconProvider icons;
  for (const Document& document : documents_) {
    auto* item = new QTreeWidgetItem(list_, QStringList{document.name});
    item->setIcon(0, icons.icon(QFileInfo(document.path)));
    item->setToolTip(0, document.path);
  }
}

void CDlgManual::OpenRow(QTreeWidgetItem* item) {
  const int row = item != nullptr ? list_->indexOfTopLevelItem(item) : -1;
  if (row < 0 || static_cast<std::size_t>(row) >= documents_.size())
    return;
  prompts::OpenDocument(documents_[static_cast<std::size_t>(row)].path);
}
