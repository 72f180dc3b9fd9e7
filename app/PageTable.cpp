#include "app/shell/PageSlot.h"

#include "app/pages/DlgDtcLookup.h"
#include "app/pages/DlgManual.h"
#include "app/pages/UpgradePX110Dlg.h"
#include "app/pages/UpgradeQV120Dlg.h"
#include "app/pages/UpgradeQV220Dlg.h"

namespace {
template <typename Page>
CHostedPage* Make(IPageHost* host, QWidget* parent) {
  return new Page(host, parent);
}
}  // namespace

const std::vector<PageSlot>& PageSlots() {
  static const std::vector<PageSlot> table = {
      {PageId::QV120, &Make<CUpgradeQV120Dlg>},
      {PageId::PX110, &Make<CUpgradePX110Dlg>},
      {PageId::QV220, &Make<CUpgradeQV220Dlg>},
      {PageId::Manual, &Make<CDlgManual>},
      {PageId::Dtc, &Make<CDlgDtcLookup>},
  };
  return table;
}
