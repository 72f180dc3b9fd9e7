#include "app/pages/ProductPage.h"

#include <QLineEdit>

#include <memory>

#include "app/pages/DeviceChangeWatcher.h"
#include "app/pages/DlgDownloadUniteDev.h"
#include "app/pages/PageHost.h"
#include "app/pages/WindowUpdateRecord.h"
#include "app/skin/PortIndicator.h"
#include "app/skin/SkinButtonEx.h"
#include "app/skin/UserPrompts.h"

CProductPage::CProductPage(IPageHost* host, QWidget* parent, int backdropId, PageKind kind,
                           int devType)
    : CHostedPage(host, parent, backdropId, true),
      logic_(kind, devType),
      deviceWatcher_(new CDeviceChangeWatcher(this)) {
  CHostedPage::SetDevType(devType);
  connect(deviceWatcher_, &CDeviceChangeWatcher::DeviceChanged, this, [this] {
    if (IsActive())
      OnDeviceChange();
  });
}

CProductPage::~CProductPage() = default;

void CProductPage::SetDevType(int devType) {
  CHostedPage::SetDevType(devType);
  logic_.SetDevType(devType);
}

void CProductPage::OnDeviceChange() { DetectTool(); }

void CProductPage::DetectTool() {
  logic_.DetectTool();
  DrawPortIndicatorForPort();
  UpdateButtons();
}

void CProductPage::DrawPortIndicatorForPort() {
  DrawPortIndicator(Port() != -1 ? indicator::kToolFound : indicator::kNoTool);
}

void CProductPage::DrawPortIndicator(int image) {
  if (Host() == nullptr || Host()->Surface() == nullptr)
    return;
  // The indicator sits at the top of the page's placement, in the page's
  // own coordinates (0 while the page is where it was placed).
  const int top = PageRect().isNull() ? 0 : mapFromGlobal(PageRect().topLeft()).y();
  for (const QRect& r : indicator::Draw(*Host()->Surface(), top, image, Port()))
    Host()->UpdateSurfaceRect(r);
  Host()->PortIndicatorChanged(indicator::Text(image, Port()));
}

QString CProductPage::RememberedPath(UpdatePath which, int variant) const {
  const auto& history = which == UpdatePath::Bin ? binHistory_ : zpkHistory_;
  auto it = history.find(variant);
  return it == history.end() ? QString() : it->second;
}

QString& CProductPage::Remembered(UpdatePath which) {
  return (which == UpdatePath::Bin ? binHistory_ : zpkHistory_)[DevType()];
}

void CProductPage::SetPathEdits(QLineEdit* bin, QLineEdit* zpk) {
  binEdit_ = bin;
  zpkEdit_ = zpk;
}

void CProductPage::LoadRememberedPaths() {
  binPath_ = Remembered(UpdatePath::Bin);
  zpkPath_ = Remembered(UpdatePath::Zpk);
}

void CProductPage::PushPathsToEdits() {
  if (binEdit_ != nullptr)
    binEdit_->setText(binPath_);
  if (zpkEdit_ != nullptr)
    zpkEdit_->setText(zpkPath_);
}

void CProductPage::ReloadPaths() {
  LoadRememberedPaths();
  PushPathsToEdits();
}

void CProductPage::ChooseFile(UpdatePath which) {
  const QString chosen = AskForFile(which);
  if (chosen.isEmpty())
    return;
  (which == UpdatePath::Bin ? binPath_ : zpkPath_) = chosen;
  PushPathsToEdits();
  UpdateButtons();
  update();
}

void CProductPage::RunUpdate(UpdatePath which, QWidget* owner, CSkinButtonEx* button) {
  DetectTool();
  if (Port() == -1)
    return;
  const bool bin = which == UpdatePath::Bin;
  QLineEdit* edit = bin ? binEdit_ : zpkEdit_;
  QString& path = bin ? binPath_ : zpkPath_;
  if (edit != nullptr)
    path = edit->text();
  RunDownload(which, path, owner, button);
}

QString CProductPage::AskForFile(UpdatePath which) {
  const QString filter = prompts::FilterFor(which == UpdatePath::Bin ? QStringLiteral("*.bin")
                                                                      : QStringLiteral("*.ZPK"));
  const QString chosen = prompts::ChooseOpenFile(this, filter, RememberedPath(which, DevType()));
  if (!chosen.isEmpty())
    Remembered(which) = chosen;
  return chosen;
}

void CProductPage::RunDownload(UpdatePath which, const QString& path, QWidget* owner,
                               CSkinButtonEx* button) {
  auto dialog = std::make_unique<CDlgDownloadUniteDev>(owner);
  // Disabled, the button loses the keyboard; it gets it back after the run.
  const bool keyboardOnButton = button != nullptr && button->hasFocus();
  // From the load of the file on, the pressed button stays disabled until
  // the page was repainted, whatever the outcome.
  bool held = false;
  const PrepareResult prepared =
      logic_.PrepareUpdate(which, path.toStdString(), dialog->Workflow(), [&] {
        held = true;
        if (button != nullptr)
          button->setEnabled(false);
      });
  // The model check may adopt another product code (the PX110 page takes
  // DevType 13); the page expects it from now on.
  if (logic_.DevType() != DevType())
    CHostedPage::SetDevType(logic_.DevType());
  if (prepared.step == PrepareStep::Ready) {
    CWindowUpdateRecord record(logic_.Entry(), logic_.Port(), path.toStdString());
    if (runner_)
      runner_(*dialog);
    else
      dialog->RunModal();
    // The keyboard back to the page's window (no window manager does it on a
    // bare X server).
    if (window()->isVisible())
      window()->activateWindow();
    record.Finish(dialog->Workflow());
  } else if (!prepared.message.empty()) {
    prompts::ShowMessage(this, QString::fromStdString(prepared.message));
  }
  if (held) {
    update();
    if (button != nullptr)
      button->setEnabled(true);
  }
  if (keyboardOnButton)
    button->setFocus(Qt::OtherFocusReason);
  dialog.reset();
}

CSkinButtonEx* CProductPage::MakeButton(int id, const QRect& geometry,
                                        const ButtonBitmaps& bitmaps, const char* name) {
  auto* b = new CSkinButtonEx(this, id);
  b->setObjectName(QStringLiteral("button%1").arg(id));
  b->setAccessibleName(QString::fromUtf8(name));
  b->SetBitmaps(bitmaps.normal, bitmaps.hover, bitmaps.pressed, bitmaps.disabled);
  b->setGeometry(geometry);
  connect(b, &QAbstractButton::clicked, this, [this, id] { OnCommand(id); });
  return b;
}
