#include "app/pages/UpgradePX110Dlg.h"

#include <QLineEdit>

#include "app/pages/PageHost.h"
#include "app/skin/PathEditStyle.h"
#include "app/skin/SkinButtonEx.h"
#include "app/skin/UserPrompts.h"

CUpgradePX110Dlg::CUpgradePX110Dlg(IPageHost* host, QWidget* parent)
    : CProductPage(host, parent, kBackdrop, PageKind::PX110, kDevTypePx110),
      edit_(new QLineEdit(this)),
      choose_(MakeButton(kCmdChooseBin, QRect(456, 141, 114, 29), kBrowseBitmaps,
                         "Browse... (.bin)")),
      update_(MakeButton(kCmdUpdateBin, QRect(280, 182, 114, 29), kUpdateBitmaps,
                         "Update (.bin)")) {
  StylePathEdit(edit_, kBinEditId, QStringLiteral("No .bin file chosen"));
  edit_->setGeometry(72, 143, 368, 22);
  connect(edit_, &QLineEdit::textChanged, this, [this] { UpdateButtons(); });
  choose_->show();
  update_->show();
  update_->setEnabled(false);
  SetTimer(kTimerPoll, kPollMs);
}

CUpgradePX110Dlg::~CUpgradePX110Dlg() = default;

CSkinButtonEx* CUpgradePX110Dlg::Button(int id) const {
  return id == kCmdChooseBin ? choose_ : id == kCmdUpdateBin ? update_ : nullptr;
}

void CUpgradePX110Dlg::Refresh(int) { DetectTool(); }

void CUpgradePX110Dlg::OnTimer(int id) {
  if (id == kTimerPoll) {
    if (!IsActive())
      return;
    DetectTool();
    if (Host() != nullptr)
      SendPageMessage(Host()->HostWindow(), WM_LINK_STATE, 0, Port() != -1 ? 1 : 0);
    return;
  }
  CProductPage::OnTimer(id);
}

void CUpgradePX110Dlg::UpdateButtons() {
  // The chosen file enables Update, not what is typed into the box.
  update_->setEnabled(Port() != -1 && !path_.isEmpty());
}

void CUpgradePX110Dlg::OnCommand(int id) {
  if (id == kCmdChooseBin)
    ChooseFile();
  else if (id == kCmdUpdateBin)
    RunUpdate();
}

void CUpgradePX110Dlg::ChooseFile() {
  // One file for the page (PX110 and OMNIX alike), starting at the current one.
  const QString chosen =
      prompts::ChooseOpenFile(this, prompts::FilterFor(QStringLiteral("*.bin")), path_);
  if (chosen.isEmpty())
    return;
  path_ = chosen;
  edit_->setText(path_);
  UpdateButtons();
  update();
}

void CUpgradePX110Dlg::RunUpdate() {
  DetectTool();
  if (Port() == -1)
    return;
  path_ = edit_->text();
  RunDownload(UpdatePath::Bin, path_, this, update_);
}
