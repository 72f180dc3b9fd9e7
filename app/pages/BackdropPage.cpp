#include "app/pages/BackdropPage.h"

CBackdropPage::CBackdropPage(IPageHost* host, QWidget* parent, int backdropId, Role role)
    : CHostedPage(host, parent, backdropId, role == Role::Product), role_(role) {}

void CBackdropPage::OnTimer(int id) {
  if (id == kTimerRefreshOnce && role_ == Role::Manual) {
    KillTimer(id);
    PlaceAndShow(PageRect());
    return;
  }
  CHostedPage::OnTimer(id);
}
