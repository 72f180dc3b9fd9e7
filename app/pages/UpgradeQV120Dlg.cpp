#include "app/pages/UpgradeQV120Dlg.h"

#include <QLineEdit>

#include "app/pages/PageHost.h"
#include "app/skin/PathEditStyle.h"
#include "app/skin/SkinButtonEx.h"

CUpgradeQV120Dlg::CUpgradeQV120Dlg(IPageHost* host, QWidget* parent)
    : CProductPage(host, parent, kBackdrop, PageKind::QV120, 1),
      binEdit_(new QLineEdit(this)),
      zpkEdit_(new QLineEdit(this)) {
  chooseBin_ = MakeButton(kCmdChooseBin, QRect(456, 181, 114, 29), kBrowseBitmaps,
                          "Browse... (.bin)");
  updateBin_ = MakeButton(kCmdUpdateBin, QRect(280, 222, 114, 29), kUpdateBitmaps,
                          "Update (.bin)");
  chooseZpk_ = MakeButton(kCmdChooseZpk, QRect(456, 392, 114, 49), kBrowseBitmaps,
                          "Browse... (.zpk)");
  updateZpk_ = MakeButton(kCmdUpdateZpk, QRect(280, 434, 114, 49), kUpdateBitmaps,
                          "Update (.zpk)");

  StylePathEdit(binEdit_, kBinEditId, QStringLiteral("No .bin file chosen"));
  StylePathEdit(zpkEdit_, kZpkEditId, QStringLiteral("No .zpk file chosen"));
  for (QLineEdit* edit : {binEdit_, zpkEdit_})
    connect(edit, &QLineEdit::textChanged, this, [this] { UpdateButtons(); });
  SetPathEdits(binEdit_, zpkEdit_);
  binEdit_->setGeometry(72, 183, 368, 22);
  zpkEdit_->setGeometry(72, 395, 368, 22);

  for (CSkinButtonEx* b : {chooseBin_, updateBin_, chooseZpk_, updateZpk_})
    b->show();
  updateBin_->setEnabled(false);
  updateZpk_->setEnabled(false);
  SetTimer(kTimerPoll, kPollMs);
}

CUpgradeQV120Dlg::~CUpgradeQV120Dlg() = default;

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
  CProductPage::OnTimer(id);
}

void CUpgradeQV120Dlg::UpdateButtons() {
  // What enables a button is the file remembered for the variant, not what
  // is typed into the box.
  LoadRememberedPaths();
  const bool port = Port() != -1;
  updateBin_->setEnabled(port && !binPath_.isEmpty());
  updateZpk_->setEnabled(port && !zpkPath_.isEmpty());
}

void CUpgradeQV120Dlg::OnCommand(int id) {
  switch (id) {
    case kCmdChooseBin: ChooseFile(UpdatePath::Bin); break;
    case kCmdChooseZpk: ChooseFile(UpdatePath::Zpk); break;
    case kCmdUpdateBin: RunUpdate(UpdatePath::Bin, this, updateBin_); break;
    case kCmdUpdateZpk: RunUpdate(UpdatePath::Zpk, this, updateZpk_); break;
    default: break;
  }
}
