#pragma once
// CBackdropPage: a page that shows its backdrop and nothing else. It
// stands in for a page whose controls are not built (the QV220, PX110,
// manual and DTC pages) and answers the main window's page operations
// without effect, so the catalogue can select it.

#include "app/pages/HostedPage.h"

class CBackdropPage : public CHostedPage {
  Q_OBJECT
 public:
  enum class Role {
    Product,  // reports mouse moves like the product pages
    Manual,   // timer 2000 shows the page at its stored rectangle
    Dtc,
  };

  CBackdropPage(IPageHost* host, QWidget* parent, int backdropId, Role role);

 protected:
  void OnTimer(int id) override;

 private:
  Role role_;
};
