#pragma once
// CUpgradePX110Dlg: the product page of the PX110 (product code 7) and of
// OMNIX (12, set by the main window with SetDevType). One update path: a
// .bin file with its path box, Browse and Update.
//
// While active the page looks for the tool every 3001 ms (timer 501, which
// then reports WM_LINK_STATE with lParam 1 when a port is known, else 0)
// and on every device change, draws the port indicator into the main
// window's surface and enables Update when a port is known and a file was
// chosen with Browse (typing a path does not enable it; Update then uses
// the typed path). The chosen file is kept for the run only.
//
// The model check, the adoption of DevType 13 (from then on the page
// expects 13), the partition selector (0 for DevType 7, 2 otherwise), the
// extension and file checks are CProductPageLogic's rules for this page.
// Threads: UI thread only.

#include <QString>

#include "app/pages/ProductPage.h"

class CSkinButtonEx;
class QLineEdit;

class CUpgradePX110Dlg : public CProductPage {
  Q_OBJECT
 public:
  static constexpr int kBackdrop = 431;
  static constexpr int kDevTypePx110 = 7;
  static constexpr int kTimerPoll = 501;
  static constexpr int kPollMs = 3001;
  static constexpr int kCmdChooseBin = 134;
  static constexpr int kCmdUpdateBin = 132;
  static constexpr int kBinEditId = 1013;

  CUpgradePX110Dlg(IPageHost* host, QWidget* parent);
  ~CUpgradePX110Dlg() override;

  void Refresh(int flag) override;
  void UpdateButtons() override;
  void OnCommand(int id) override;

  const QString& Path() const { return path_; }
  QLineEdit* Edit() const { return edit_; }
  CSkinButtonEx* Button(int id) const;

 protected:
  void OnTimer(int id) override;

 private:
  void ChooseFile();
  void RunUpdate();

  QString path_;
  QLineEdit* edit_;
  CSkinButtonEx* choose_;
  CSkinButtonEx* update_;
};
