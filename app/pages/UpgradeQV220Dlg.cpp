#include "app/pages/UpgradeQV220Dlg.h"

#include <QApplication>
#include <QLineEdit>
#include <QMouseEvent>
#include <QDateTime>
#include <QTime>

#include "app/dataview/CaptureLink.h"
#include "app/dataview/CapturePrinter.h"
#include "app/dataview/MyRichEdit.h"
#include "app/dataview/TextEditorHandoff.h"
#include "app/pages/PageHost.h"
#include "app/skin/PathEditStyle.h"
#include "app/skin/PortIndicator.h"
#include "app/skin/SkinButtonEx.h"

namespace {
constexpr CProductPage::ButtonBitmaps kPrintBitmaps = {396, 395, 394, 393};
constexpr CProductPage::ButtonBitmaps kClearBitmaps = {400, 399, 398, 397};
constexpr CProductPage::ButtonBitmaps kCopyBitmaps = {404, 403, 402, 401};
constexpr CProductPage::ButtonBitmaps kEditBitmaps = {408, 407, 406, 405};
constexpr CProductPage::ButtonBitmaps kModeBitmaps = {411, 411, 411, 411};

// Where the two mode buttons sit in each mode.
constexpr QPoint kDataModeButtonAt[2] = {{2, 71}, {2, 31}};
constexpr QPoint kUpdateModeButtonAt[2] = {{1, 108}, {1, 68}};
constexpr QSize kModeButtonSize(72, 40);

const QRect kViewRect(90, 45, 513, 425);
const QRect kUpdateBinRect(285, 229, 114, 29);

// The mouse input a reception holds back: buttons, moves, the wheel and the
// context menu that a right button press turns into.
bool IsMouseInput(QEvent::Type t) {
  return t == QEvent::MouseMove || t == QEvent::MouseButtonPress ||
         t == QEvent::MouseButtonRelease || t == QEvent::MouseButtonDblClick ||
         t == QEvent::Wheel || t == QEvent::ContextMenu;
}

// Every received byte asks for the time; the local time of day is worked
// out once per second of the clock.
int SecondsOfDay() {
  static qint64 cachedSecond = -1;
  static int cachedValue = 0;
  const qint64 second = QDateTime::currentSecsSinceEpoch();
  if (second != cachedSecond) {
    const QTime t = QTime::currentTime();
    cachedSecond = second;
    cachedValue = t.hour() * 3600 + t.minute() * 60 + t.second();
  }
  return cachedValue;
}
}  // namespace

CUpgradeQV220Dlg::CUpgradeQV220Dlg(IPageHost* host, QWidget* parent)
    : CProductPage(host, parent, kBackdropUpdate, PageKind::QV220, 1),
      codePage_(convertor_.Converts() ? LegacyCodePage::Gbk : LegacyCodePage::Windows1252),
      binEdit_(new QLineEdit(this)),
      zpkEdit_(new QLineEdit(this)),
      view_(new CMyRichEdit(this)),
      link_(new CCaptureLink([this](unsigned char b) { Receive(b, batchNow_); },
                             // A hung-up line: look for the tool again at once.
                             [this] { SendPageMessage(this, WM_RECHECK_PORT, 0, 0); }, this,
                             // One batch arrived within one wake-up: one clock
                             // reading serves all of its bytes.
                             [this] { batchNow_ = Now(); })) {
  CreateUpdateButtons();
  StylePathEdit(binEdit_, kBinEditId, QStringLiteral("No .bin file chosen"));
  StylePathEdit(zpkEdit_, kZpkEditId, QStringLiteral("No .zpk file chosen"));
  for (QLineEdit* edit : {binEdit_, zpkEdit_})
    connect(edit, &QLineEdit::textChanged, this, [this] { UpdateButtons(); });
  SetPathEdits(binEdit_, zpkEdit_);
  binEdit_->setGeometry(129, 200, 316, 22);
  zpkEdit_->setGeometry(129, 398, 316, 22);
  view_->setGeometry(kViewRect);
  view_->setAccessibleName(QStringLiteral("Data view"));
  view_->hide();

  dataModeButton_ = MakeButton(kCmdDataMode, QRect(QPoint(), kModeButtonSize), kModeBitmaps,
                               "Data mode");
  updateModeButton_ = MakeButton(kCmdUpdateMode, QRect(QPoint(), kModeButtonSize), kModeBitmaps,
                                 "Update mode");
  dataModeButton_->setToolTip(QStringLiteral("Data mode"));
  updateModeButton_->setToolTip(QStringLiteral("Update mode"));
  PlaceModeButtons();
  ApplyButtonVisibility();
  UpdateButtons();
  SetTimer(kTimerData, kPollMs);
}

CUpgradeQV220Dlg::~CUpgradeQV220Dlg() {
  // The port goes first: after this no received byte reaches the page.
  link_->Shutdown();
  ReleaseBusy();
}

void CUpgradeQV220Dlg::UseLocale(const QLocale& locale) {
  convertor_ = CLanguageConvertor(locale);
  codePage_ = convertor_.Converts() ? LegacyCodePage::Gbk : LegacyCodePage::Windows1252;
}

int CUpgradeQV220Dlg::Now() const { return clock_ ? clock_() : SecondsOfDay(); }

// --- Controls ----------------------------------------------------------

void CUpgradeQV220Dlg::CreateUpdateButtons() {
  buttons_[kCmdChooseBin] = MakeButton(kCmdChooseBin, QRect(461, 197, 114, 29), kBrowseBitmaps,
                                       "Browse... (.bin)");
  buttons_[kCmdUpdateBin] = MakeButton(kCmdUpdateBin, kUpdateBinRect, kUpdateBitmaps, "Update (.bin)");
  buttons_[kCmdUpdateZpk] = MakeButton(kCmdUpdateZpk, QRect(285, 427, 114, 49), kUpdateBitmaps,
                                       "Update (.zpk)");
  buttons_[kCmdChooseZpk] = MakeButton(kCmdChooseZpk, QRect(461, 396, 114, 49), kBrowseBitmaps,
                                       "Browse... (.zpk)");
}

void CUpgradeQV220Dlg::CreateDataButtons() {
  const struct {
    int id;
    int x;
    ButtonBitmaps bitmaps;
    const char* tip;
    const char* name;
  } rows[] = {{kCmdPrint, 200, kPrintBitmaps, "print", "Print"},
              {kCmdClear, 240, kClearBitmaps, "clear", "Clear"},
              {kCmdCopy, 280, kCopyBitmaps, "copy", "Copy"},
              {kCmdEdit, 320, kEditBitmaps, "edit", "Edit in text editor"}};
  for (const auto& row : rows) {
    CSkinButtonEx* b = MakeButton(row.id, QRect(row.x, 4, 35, 17), row.bitmaps, row.name);
    b->setToolTip(QString::fromLatin1(row.tip));
    buttons_[row.id] = b;
  }
}

void CUpgradeQV220Dlg::DestroyButtons(std::initializer_list<int> ids) {
  for (int id : ids) {
    auto it = buttons_.find(id);
    if (it == buttons_.end())
      continue;
    // Later: the button may be the sender of the click being handled.
    it->second->hide();
    it->second->deleteLater();
    buttons_.erase(it);
  }
}

void CUpgradeQV220Dlg::PlaceModeButtons() {
  const int m = mode_ == Mode::Data ? 1 : 0;
  dataModeButton_->move(kDataModeButtonAt[m]);
  updateModeButton_->move(kUpdateModeButtonAt[m]);
}

void CUpgradeQV220Dlg::ApplyButtonVisibility() {
  // Only the button that leads to the other mode shows.
  for (const auto& entry : buttons_)
    entry.second->show();
  dataModeButton_->setVisible(mode_ == Mode::Update);
  updateModeButton_->setVisible(mode_ == Mode::Data);
}

CSkinButtonEx* CUpgradeQV220Dlg::Button(int id) const {
  if (id == kCmdDataMode)
    return dataModeButton_;
  if (id == kCmdUpdateMode)
    return updateModeButton_;
  auto it = buttons_.find(id);
  return it == buttons_.end() ? nullptr : it->second;
}

QLineEdit* CUpgradeQV220Dlg::Edit(int id) const {
  return id == kBinEditId ? binEdit_ : id == kZpkEditId ? zpkEdit_ : nullptr;
}

void CUpgradeQV220Dlg::showEvent(QShowEvent* event) {
  CProductPage::showEvent(event);
  ApplyButtonVisibility();
}

void CUpgradeQV220Dlg::focusInEvent(QFocusEvent* event) {
  CProductPage::focusInEvent(event);
  update();
}

// --- Page operations ---------------------------------------------------

void CUpgradeQV220Dlg::Refresh(int) { DetectTool(); }

void CUpgradeQV220Dlg::OpenPortAndMonitor() {
  if (link_->Open(Port()) == 1)
    link_->StartMonitor();
}

void CUpgradeQV220Dlg::PlaceAndShow(const QRect& screenRect) {
  MoveToScreenRect(screenRect);
  show();
  DetectTool();
  if (mode_ == Mode::Data && Port() != -1 && !link_->IsOpen())
    OpenPortAndMonitor();
}

void CUpgradeQV220Dlg::ReleasePort() {
  logic_.ForgetTool();
  if (mode_ == Mode::Data && link_->IsOpen())
    CloseLink();
  // The page is hidden next and gets no tick that would end a reception.
  EndReception();
}

void CUpgradeQV220Dlg::CloseLink() {
  // The close hands the page the bytes still queued; they may start a
  // reception that nothing received after them would end.
  link_->Close();
  EndReception();
}

void CUpgradeQV220Dlg::EndReception() {
  timing_.Reset();
  ReleaseBusy();
}

void CUpgradeQV220Dlg::UpdateButtons() {
  // The enabling follows the remembered file of the model, not the edits.
  if (CSkinButtonEx* bin = Button(kCmdUpdateBin)) {
    LoadRememberedPaths();
    bin->setEnabled(Port() != -1 && !binPath_.isEmpty());
    update(QRect(285, 209, 114, 29));
  }
  if (CSkinButtonEx* zpk = Button(kCmdUpdateZpk))
    zpk->setEnabled(Port() != -1 && !zpkPath_.isEmpty());
}

void CUpgradeQV220Dlg::OnDeviceChange() {
  DetectTool();
  SendPageMessage(this, WM_RECHECK_PORT, 0, 0);
}

long CUpgradeQV220Dlg::OnPageMessage(unsigned message, quintptr wParam, qintptr lParam) {
  switch (message) {
    case WM_RECHECK_PORT:
      if (!IsActive())
        return 1;
      DetectTool();
      if (Port() == -1) {
        CloseLink();
      } else if (mode_ == Mode::Data) {
        CloseLink();
        if (!link_->IsOpen())
          OpenPortAndMonitor();
      }
      return 1;
    case WM_RELEASE_PORT:
      ReleasePort();
      return 1;
    case WM_REENTER_DATA:
      SwitchToUpdateMode();
      SwitchToDataMode();
      return 1;
    case WM_RECEIVED_BYTE:
      OnReceivedByte(static_cast<unsigned char>(wParam & 0xFF));
      return 0;
    default:
      return CProductPage::OnPageMessage(message, wParam, lParam);
  }
}

// --- Modes -------------------------------------------------------------

void CUpgradeQV220Dlg::SwitchToDataMode() {
  if (mode_ == Mode::Data)
    return;
  background_ = kBackdropData;
  mode_ = Mode::Data;
  view_->setGeometry(kViewRect);
  CreateDataButtons();
  DestroyButtons({kCmdUpdateBin, kCmdUpdateZpk, kCmdChooseBin, kCmdChooseZpk});
  view_->show();
  binEdit_->hide();
  zpkEdit_->hide();
  UpdateButtons();
  logic_.ForgetTool();
  DrawPortIndicator(indicator::kNoTool);
  UpdateButtons();
  update();
  PlaceModeButtons();
  DetectTool();
  link_->Close();
  if (Port() != -1 && !link_->IsOpen())
    OpenPortAndMonitor();
  ApplyButtonVisibility();
  update();
}

void CUpgradeQV220Dlg::SwitchToUpdateMode() {
  if (mode_ == Mode::Update)
    return;
  background_ = kBackdropUpdate;
  CreateUpdateButtons();
  mode_ = Mode::Update;
  DestroyButtons({kCmdCopy, kCmdEdit, kCmdClear, kCmdPrint});
  binEdit_->show();
  zpkEdit_->show();
  view_->hide();
  UpdateButtons();
  logic_.ForgetTool();
  update();
  DetectTool();
  CloseLink();
  PlaceModeButtons();
  ApplyButtonVisibility();
}

// --- Commands ----------------------------------------------------------

void CUpgradeQV220Dlg::OnCommand(int id) {
  switch (id) {
    case kCmdChooseBin: ChooseFile(UpdatePath::Bin); break;
    case kCmdChooseZpk: ChooseFile(UpdatePath::Zpk); break;
    case kCmdUpdateBin: UpdateFrom(UpdatePath::Bin); break;
    case kCmdUpdateZpk: UpdateFrom(UpdatePath::Zpk); break;
    case kCmdDataMode: SwitchToDataMode(); break;
    case kCmdUpdateMode: SwitchToUpdateMode(); break;
    case kCmdCopy: view_->CopyAllText(); break;
    case kCmdEdit: EditInTextEditor(this, view_->Text()); break;
    case kCmdClear: view_->ClearAllText(); break;
    case kCmdPrint: PrintView(); break;
    default: break;
  }
}

void CUpgradeQV220Dlg::UpdateFrom(UpdatePath which) {
  const bool bin = which == UpdatePath::Bin;
  // The .bin download dialog belongs to the page, the .zpk one to nobody.
  RunUpdate(which, bin ? this : nullptr, Button(bin ? kCmdUpdateBin : kCmdUpdateZpk));
  update();
}

void CUpgradeQV220Dlg::PrintView() {
  PrintText(this, *view_);
  setEnabled(true);
}

// --- Receiving ---------------------------------------------------------

QString CUpgradeQV220Dlg::DisplayText(std::string line) const {
  // The convertor's system decides: GBK with its 0xB0 rule, or Windows-1252.
  const std::string utf8 = DecodeCapturedLine(std::move(line), codePage_);
  return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

void CUpgradeQV220Dlg::OnReceivedByte(unsigned char byte) { Receive(byte, Now()); }

void CUpgradeQV220Dlg::Receive(unsigned char byte, int now) {
  TakeByte(byte, now);
  // A page that is not shown holds nothing busy (its ticks do nothing);
  // what reaches it still goes into the view.
  if (!IsActive())
    EndReception();
}

void CUpgradeQV220Dlg::TakeByte(unsigned char byte, int now) {
  if (timing_.OnByteStart(now))
    ShowBusy();
  const bool lineEnded = lines_.Add(static_cast<char>(byte));
  if (byte >= CReceiveTiming::kFirstSilentByte)
    return;  // kept in the line, but not counted as activity
  if (lineEnded) {
    view_->SetCaretColor(Qt::black);
    view_->AppendLine(DisplayText(lines_.TakeLine()));
    view_->update();
    view_->setFocus();
  }
  timing_.OnActivity(now);
  ShowBusy();
}

void CUpgradeQV220Dlg::ShowBusy() {
  // A page that is not shown holds nothing busy; setting and restoring the
  // cursor for each byte it still receives would cost more than the view.
  if (busyShown_ || !IsActive())
    return;
  busyShown_ = true;
  QApplication::setOverrideCursor(Qt::WaitCursor);
  qApp->installEventFilter(this);
}

void CUpgradeQV220Dlg::ReleaseBusy() {
  if (!busyShown_)
    return;
  busyShown_ = false;
  qApp->removeEventFilter(this);
  QApplication::restoreOverrideCursor();
}

bool CUpgradeQV220Dlg::eventFilter(QObject* watched, QEvent* event) {
  // While a reception runs, mouse input to the page and its controls is dropped.
  if (timing_.Busy() && IsMouseInput(event->type()) && watched->isWidgetType()) {
    auto* widget = static_cast<QWidget*>(watched);
    if (widget == this || isAncestorOf(widget))
      return true;
  }
  return CProductPage::eventFilter(watched, event);
}

void CUpgradeQV220Dlg::OnTimer(int id) {
  if (!IsActive())
    return;
  if (id == kTimerData && mode_ == Mode::Data) {
    if (timing_.OnTick() == CReceiveTiming::TickEnd::Full) {
      // Nothing came since the last tick: end fully and look at the port again.
      ReleaseBusy();
      view_->setFocus();
      const int rememberedPort = Port();
      DetectTool();
      update();
      if (rememberedPort == -1) {
        link_->Close();
        if (!link_->IsOpen())
          OpenPortAndMonitor();
      }
    }
    if (!timing_.Busy() && link_->LastOpenFailed()) {
      link_->Close();
      if (!link_->IsOpen())
        OpenPortAndMonitor();
    }
  }
  if (id == kTimerRefreshOnce) {
    DetectTool();
    KillTimer(kTimerRefreshOnce);
  }
  if (!timing_.Busy()) {
    ReleaseBusy();
    DetectTool();
    if (Port() != -1 && Host() != nullptr)
      SendPageMessage(Host()->HostWindow(), WM_LINK_STATE, 0, 1);
  } else if (timing_.EndIfStalled()) {
    ReleaseBusy();
    update();
  }
}
