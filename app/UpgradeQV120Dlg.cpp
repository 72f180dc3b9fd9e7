#include "app/UpgradeQV120Dlg.h"

#include <QLineEdit>

#include <memory>

#include "app/DeviceChangeWatcher.h"
#include "app/DlgDownloadUniteDev.h"
#include "app/PageHost.h"
#include "app/PortIndicator.h"
#include "app/SafeDC.h"
#include "app/SkinButtonEx.h"
#include "app/UserPrompts.h"
#include "app/WindowTimers.h"

namespace {
// Skinned button bitmaps: normal, hover, pressed, disabled.
constexpr int kBrowseBitmaps[4] = {378, 378, 376, 375};
constexpr int kUpdateBitmaps[4] = {263, 263, 265, 264};

const char kEditStyle[] =
    "QLineEdit { border: 1px solid #CBD3DD; border-radius: 4px; padding: 0 6px;"
    " background: #F7F9FB; color: #1B2430; selection-background-color: #2F80ED; }"
    "QLineEdit:focus { border: 1px solid #2F80ED; background: #FFFFFF; }";
}  // namespace

CUpgradeQV120Dlg::CUpgradeQV120Dlg(IPageHost* host, QWidget* parent)
    : CHostedPage(host, parent, kBackdrop, true),
      logic_(PageKind::QV120, 1),
      binEdit_(new QLineEdit(this)),
      zpkEdit_(new QLineEdit(this)),
      deviceWatcher_(new CDeviceChangeWatcher(this)) {
  chooseBin_ = MakeButton(kCmdChooseBin, {456, 181}, {114, 29}, kBrowseBitmaps[0],
                          kBrowseBitmaps[1], kBrowseBitmaps[2], kBrowseBitmaps[3]);
  updateBin_ = MakeButton(kCmdUpdateBin, {280, 222}, {114, 29}, kUpdateBitmaps[0],
                          kUpdateBitmaps[1], kUpdateBitmaps[2], kUpdateBitmaps[3]);
  chooseZpk_ = MakeButton(kCmdChooseZpk, {456, 392}, {114, 49}, kBrowseBitmaps[0],
                          kBrowseBitmaps[1], kBrowseBitmaps[2], kBrowseBitmaps[3]);
  updateZpk_ = MakeButton(kCmdUpdateZpk, {280, 434}, {114, 49}, kUpdateBitmaps[0],
                          kUpdateBitmaps[1], kUpdateBitmaps[2], kUpdateBitmaps[3]);

  binEdit_->setObjectName(QStringLiteral("edit%1").arg(kBinEditId));
  zpkEdit_->setObjectName(QStringLiteral("edit%1").arg(kZpkEditId));
  for (QLineEdit* edit : {binEdit_, zpkEdit_}) {
    edit->setStyleSheet(QString::fromLatin1(kEditStyle));
    connect(edit, &QLineEdit::textChanged, this, [this] { UpdateButtons(); });
  }
  binEdit_->setGeometry(72, 183, 368, 22);
  zpkEdit_->setGeometry(72, 395, 368, 22);
  binEdit_->setPlaceholderText(QStringLiteral("No .bin file chosen"));
  zpkEdit_->setPlaceholderText(QStringLiteral("No .zpk file chosen"));

  for (CSkinButtonEx* b : {chooseBin_, updateBin_, chooseZpk_, updateZpk_})
    b->show();
  updateBin_->setEnabled(false);
  updateZpk_->setEnabled(false);

  connect(deviceWatcher_, &CDeviceChangeWatcher::DeviceChanged, this, [this] {
    if (IsActive())
      DetectTool();
  });
  SetTimer(kTimerPoll, kPollMs);
}

CUpgradeQV120Dlg::~CUpgradeQV120Dlg() = default;

CSkinButtonEx* CUpgradeQV120Dlg::MakeButton(int id, QPoint pos, QSize size, int normal, int hover,
                                            int pressed, int disabled) {
  auto* b = new CSkinButtonEx(this, id);
  b->setObjectName(QStringLiteral("button%1").arg(id));
  b->SetBitmaps(normal, hover, pressed, disabled);
  b->setGeometry(QRect(pos, size));
  connect(b, &QAbstractButton::clicked, this, [this, id] { OnCommand(id); });
  return b;
}

QLineEdit* CUpgradeQV120Dlg::Edit(int id) const {
  return id == kBinEditId ? binEdit_ : id == kZpkEditId ? zpkEdit_ : nullptr;
}

CSkinButtonEx* CUpgradeQV120Dlg::Button(int id) const {
  switch (id) {
    case kCmdChooseBin: return chooseBin_;
    case kCmdUpdateBin: return updateBin_;
    case kCmdChooseZpk: return chooseZpk_;
    case kCmdUpdateZpk: return updateZpk_;
    default: return nullptr;
  }
}

void CUpgradeQV120Dlg::SetDevType(int devType) {
  CHostedPage::SetDevType(devType);
  logic_.SetDevType(devType);
}

QString CUpgradeQV120Dlg::RememberedPath(UpdatePath which, int variant) const {
  const auto& history = which == UpdatePath::Bin ? binHistory_ : zpkHistory_;
  auto it = history.find(variant);
  return it == history.end() ? QString() : it->second;
}

void CUpgradeQV120Dlg::PushPathsToEdits() {
  binEdit_->setText(binPath_);
  zpkEdit_->setText(zpkPath_);
}

void CUpgradeQV120Dlg::ReloadPaths() {
  binPath_ = binHistory_[DevType()];
  zpkPath_ = zpkHistory_[DevType()];
  PushPathsToEdits();
}

void CUpgradeQV120Dlg::Refresh(int) { DetectTool(); }

void CUpgradeQV120Dlg::OnTimer(int id) {
  if (id == kTimerPoll) {
    if (!IsActive())
      return;
    DetectTool();
    if (Port() == -1 && Host() != nullptr)
      SendPageMessage(Host()->HostWindow(), WM_LINK_STATE, 0, 1);
    return;
  }
  CHostedPage::OnTimer(id);
}

void CUpgradeQV120Dlg::DetectTool() {
  logic_.DetectTool();
  DrawPortIndicator(Port() != -1 ? indicator::kToolFound : indicator::kNoTool);
  UpdateButtons();
}

void CUpgradeQV120Dlg::DrawPortIndicator(int image) {
  if (Host() == nullptr || Host()->Surface() == nullptr)
    return;
  // The indicator sits at the top of the page's placement, in the page's
  // own coordinates (0 while the page is where it was placed).
  const int top = PageRect().isNull() ? 0 : mapFromGlobal(PageRect().topLeft()).y();
  for (const QRect& r : indicator::Draw(*Host()->Surface(), top, image, Port()))
    Host()->UpdateSurfaceRect(r);
}

void CUpgradeQV120Dlg::UpdateButtons() {
  // What enables a button is the file remembered for the variant, not what
  // is typed into the box.
  binPath_ = binHistory_[DevType()];
  zpkPath_ = zpkHistory_[DevType()];
  const bool port = Port() != -1;
  updateBin_->setEnabled(port && !binPath_.isEmpty());
  updateZpk_->setEnabled(port && !zpkPath_.isEmpty());
}

void CUpgradeQV120Dlg::OnCommand(int id) {
  switch (id) {
    case kCmdChooseBin: ChooseFile(UpdatePath::Bin); break;
    case kCmdChooseZpk: ChooseFile(UpdatePath::Zpk); break;
    case kCmdUpdateBin: RunUpdate(UpdatePath::Bin); break;
    case kCmdUpdateZpk: RunUpdate(UpdatePath::Zpk); break;
    default: break;
  }
}

void CUpgradeQV120Dlg::ChooseFile(UpdatePath which) {
  const bool bin = which == UpdatePath::Bin;
  const QString filter = bin ? QStringLiteral("Firmware image (*.bin *.BIN)")
                             : QStringLiteral("Resource package (*.zpk *.ZPK)");
  const QString chosen =
      prompts::ChooseOpenFile(this, filter, RememberedPath(which, DevType()));
  if (chosen.isEmpty())
    return;
  (bin ? binPath_ : zpkPath_) = chosen;
  (bin ? binHistory_ : zpkHistory_)[DevType()] = chosen;
  PushPathsToEdits();
  UpdateButtons();
  update();
}

void CUpgradeQV120Dlg::RunUpdate(UpdatePath which) {
  DetectTool();
  if (Port() == -1)
    return;
  const bool bin = which == UpdatePath::Bin;
  QString& path = bin ? binPath_ : zpkPath_;
  path = (bin ? binEdit_ : zpkEdit_)->text();

  auto dialog = std::make_unique<CDlgDownloadUniteDev>(this);
  const PrepareResult prepared =
      logic_.PrepareUpdate(which, path.toStdString(), dialog->Workflow());
  if (prepared.step != PrepareStep::Ready) {
    if (!prepared.message.empty())
      prompts::ShowMessage(this, QString::fromStdString(prepared.message));
    return;
  }
  CSkinButtonEx* button = bin ? updateBin_ : updateZpk_;
  button->setEnabled(false);
  if (runner_)
    runner_(*dialog);
  else
    dialog->RunModal();
  update();
  button->setEnabled(true);
  dialog.reset();
}
