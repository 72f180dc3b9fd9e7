#include "app/pages/DlgDtcLookup.h"

#include <QFontMetrics>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLabel>
#include <QLineEdit>
#include <QScrollBar>
#include <QTableView>
#include <QValidator>

#include "app/pages/DtcListModel.h"
#include "app/skin/UserPrompts.h"
#include "tools/DtcLibrary.h"
#include "update/ConfigHelper.h"

namespace {

// Upper-cases what is typed; the box's maximum length does the rest.
class CUpperCaseValidator : public QValidator {
 public:
  using QValidator::QValidator;
  State validate(QString& input, int&) const override {
    input = input.toUpper();
    return Acceptable;
  }
};

// The list's colours go through its palette: a style sheet would route
// every cell's painting through the style-sheet engine, several times
// slower for a list that repaints on every key.
void StyleList(QTableView* list) {
  QPalette palette = list->palette();
  palette.setColor(QPalette::Base, QColor(0xFF, 0xFF, 0xFF));
  palette.setColor(QPalette::Text, QColor(0x1B, 0x24, 0x30));
  palette.setColor(QPalette::Highlight, QColor(0x2F, 0x80, 0xED));
  palette.setColor(QPalette::HighlightedText, QColor(0xFF, 0xFF, 0xFF));
  palette.setColor(QPalette::Inactive, QPalette::Highlight, QColor(0x2F, 0x80, 0xED));
  palette.setColor(QPalette::Inactive, QPalette::HighlightedText, QColor(0xFF, 0xFF, 0xFF));
  list->setPalette(palette);
  list->setFrameShape(QFrame::Box);
}
const char kSearchStyle[] =
    "QLineEdit { border: 1px solid #CBD3DD; border-radius: 4px; padding: 0 4px;"
    " background: #FFFFFF; color: #1B2430; font-weight: bold; }"
    "QLineEdit:focus { border: 1px solid #2F80ED; }";
const char kLabelStyle[] = "QLabel { color: #6B7785; font-weight: bold; background: transparent; }";

}  // namespace

CDlgDtcLookup::CDlgDtcLookup(IPageHost* host, QWidget* parent, const std::string& libraryPath)
    : CHostedPage(host, parent, kBackdrop, false),
      library_(std::make_unique<CDtcLibrary>()),
      model_(new CDtcListModel(*library_, this)),
      list_(new QTableView(this)),
      search_(new QLineEdit(this)),
      label_(new QLabel(QStringLiteral("SEARCH = "), this)) {
  list_->setObjectName(QStringLiteral("list1031"));
  search_->setObjectName(QStringLiteral("edit1030"));
  label_->setObjectName(QStringLiteral("static1039"));
  search_->setAccessibleName(QStringLiteral("Search"));
  list_->setAccessibleName(QStringLiteral("Trouble codes"));
  label_->setBuddy(search_);
  // The search box is the page's first control: it has the keyboard as the
  // page shows.
  setTabOrder(search_, list_);
  list_->setGeometry(kListX, kListY, kListW, kListH);
  StyleList(list_);
  list_->horizontalHeader()->hide();
  list_->verticalHeader()->hide();
  // Fixed row heights keep a long library cheap to lay out and scroll.
  list_->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
  list_->verticalHeader()->setDefaultSectionSize(list_->fontMetrics().height() + 6);
  list_->setShowGrid(true);
  list_->setSelectionBehavior(QAbstractItemView::SelectRows);
  list_->setSelectionMode(QAbstractItemView::SingleSelection);
  list_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  // Tab leaves the list (the arrow keys move between its rows).
  list_->setTabKeyNavigation(false);
  list_->setWordWrap(false);
  list_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  list_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);

  search_->setGeometry(kSearchX, kSearchY, kSearchW, kSearchH);
  search_->setMaxLength(kMaxSearchChars);
  search_->setValidator(new CUpperCaseValidator(search_));
  search_->setStyleSheet(QString::fromLatin1(kSearchStyle));
  // The caption ends where the box begins so that both stay readable.
  label_->setStyleSheet(QString::fromLatin1(kLabelStyle));
  const int labelWidth = label_->fontMetrics().horizontalAdvance(label_->text()) + 4;
  label_->setGeometry(kSearchX - labelWidth, kSearchY, labelWidth, kSearchH);
  label_->setAlignment(Qt::AlignRight | Qt::AlignVCenter);

  Load(libraryPath.empty()
           ? CConfigHelper::GetInstance().GetModuleDir() + CDtcLibrary::kRelativePath
           : libraryPath);
  connect(search_, &QLineEdit::textChanged, this, &CDlgDtcLookup::OnSearchChanged);
}

CDlgDtcLookup::~CDlgDtcLookup() {
  // The view may still ask the model while it goes; drop it first.
  list_->setModel(nullptr);
}

void CDlgDtcLookup::Load(const std::string& path) {
  loaded_ = library_->Load(path);
  if (!loaded_) {
    prompts::ShowMessage(this, QString::fromUtf8(dtc::kLibraryOpenFailure),
                         prompts::MessageIcon::Error);
    return;
  }
  list_->setModel(model_);
  model_->Reload();
  list_->setColumnWidth(CDtcListModel::kCode, kCodeColumnWidth);
  list_->setColumnWidth(CDtcListModel::kDescription, kListW - 80);
}

int CDlgDtcLookup::RowsPerPage() const {
  const int rowHeight = list_->verticalHeader()->defaultSectionSize();
  return rowHeight > 0 ? list_->viewport()->height() / rowHeight : 0;
}

void CDlgDtcLookup::OnSearchChanged(const QString& text) {
  if (!loaded_)
    return;
  QItemSelectionModel* selection = list_->selectionModel();
  selection->clearSelection();
  found_ = library_->FindFirst(text.toUtf8().toStdString());
  if (found_ < 0)
    return;
  const QModelIndex row = model_->index(found_, CDtcListModel::kCode);
  selection->setCurrentIndex(row, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
  // At the top, unless the list is near its end (the view never scrolls
  // past the last row).
  list_->scrollTo(row, QAbstractItemView::PositionAtTop);
}
