#pragma once
// CUpgradeQV120Dlg: the product page of the QV120 and the models that share
// its update rules (product codes 1, 8, 11, 14..17; the main window sets the
// variant with SetDevType). Two update paths, each with a path box, a
// Browse button and an Update button: a .bin image and a .zpk package.
//
// While active the page looks for the tool every 3001 ms (timer 501) and on
// every device change, draws the port indicator into the main window's
// surface and enables an Update button when a tool port is known and a file
// was chosen for the variant with Browse (a typed path alone does not
// enable it; Update then uses the typed path). The files chosen are
// remembered per variant for the run.
//
// The tool search, the model check, the extension test, the file check,
// the indicator, the remembered files and the download dialog's start are
// CProductPage's; the page adds its widgets.
// Threads: UI thread only.

#include <QString>

#include "app/pages/ProductPage.h"

class CSkinButtonEx;
class QLineEdit;

class CUpgradeQV120Dlg : public CProductPage {
  Q_OBJECT
 public:
  static constexpr int kBackdrop = 314;
  static constexpr int kTimerPoll = 501;
  static constexpr int kPollMs = 3001;
  // Commands (button ids).
  static constexpr int kCmdChooseBin = 134;
  static constexpr int kCmdUpdateBin = 132;
  static constexpr int kCmdChooseZpk = 135;
  static constexpr int kCmdUpdateZpk = 133;
  // Path boxes.
  static constexpr int kBinEditId = 1013;
  static constexpr int kZpkEditId = 1015;

  CUpgradeQV120Dlg(IPageHost* host, QWidget* parent);
  ~CUpgradeQV120Dlg() override;

  void Refresh(int flag) override;
  void UpdateButtons() override;
  // The four button commands.
  void OnCommand(int id) override;

  QLineEdit* Edit(int id) const;
  CSkinButtonEx* Button(int id) const;

 protected:
  void OnTimer(int id) override;

 private:
  QLineEdit* binEdit_;
  QLineEdit* zpkEdit_;
  CSkinButtonEx* chooseBin_ = nullptr;
  CSkinButtonEx* updateBin_ = nullptr;
  CSkinButtonEx* chooseZpk_ = nullptr;
  CSkinButtonEx* updateZpk_ = nullptr;
};
