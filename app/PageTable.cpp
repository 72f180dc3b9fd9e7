#include "app/PageTable.h"

#include "app/BackdropPage.h"
#include "app/UpgradeQV120Dlg.h"

namespace {
// Backdrops of the pages that show nothing else yet.
constexpr int kPx110Backdrop = 431;
constexpr int kQv220Backdrop = 316;
constexpr int kManualBackdrop = 318;
constexpr int kDtcBackdrop = 317;
constexpr int kPx110DevType = 7;

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
      {PageId::PX110, &MakeBackdrop<kPx110Backdrop, CBackdropPage::Role::Product, kPx110DevType>},
      {PageId::QV220, &MakeBackdrop<kQv220Backdrop, CBackdropPage::Role::Product>},
      {PageId::Manual, &MakeBackdrop<kManualBackdrop, CBackdropPage::Role::Manual>},
      {PageId::Dtc, &MakeBackdrop<kDtcBackdrop, CBackdropPage::Role::Dtc>},
  };
  return table;
}
