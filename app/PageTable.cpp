#include "app/PageTable.h"

#include "app/BackdropPage.h"
#include "app/DlgDtcLookup.h"
#include "app/DlgManual.h"
#include "app/UpgradePX110Dlg.h"
#include "app/UpgradeQV120Dlg.h"

namespace {
// Backdrops of the pages that show nothing else yet.
constexpr int kQv220Backdrop = 316;

template <typename Page>
CHostedPage* Make(IPageHost* host, QWidget* parent) {
  return new Page(host, parent);
}

template <int BackdropId, CBackdropPage::Role Role, int DevType = 1>
CHostedPage* MakeBackdrop(IPageHost* host, QWidget* parent) {
  auto* page = new CBackdropPage(host, parent, BackdropId, Role);
  page->SetDevType(DevType);
  return page;
}
}  // namespace

const std::vector<PageSlot>& PageSlots() {
  static const std::vector<PageSlot> table = {
      {PageId::QV120, &Make<CUpgradeQV120Dlg>},
      {PageId::PX110, &Make<CUpgradePX110Dlg>},
      {PageId::QV220, &MakeBackdrop<kQv220Backdrop, CBackdropPage::Role::Product>},
      {PageId::Manual, &Make<CDlgManual>},
      {PageId::Dtc, &Make<CDlgDtcLookup>},
  };
  return table;
}
