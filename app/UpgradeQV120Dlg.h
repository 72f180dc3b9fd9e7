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
// The tool search, the model check, the extension test and the file check
// are CProductPageLogic's; the page adds the widgets, the indicator, the
// remembered paths, the message boxes and the download dialog.
// Threads: UI thread only.

#include <QString>

#include <map>

#include "app/HostedPage.h"
#include "update/ProductPageLogic.h"

class CDeviceChangeWatcher;
class CDlgDownloadUniteDev;
class CSkinButtonEx;
class QLineEdit;

class CUpgradeQV120Dlg : public CHostedPage {
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

  // Runs a prepared download dialog; returns its result. Replaceable for
  // tests; by default the dialog's own RunModal().
  using DownloadRunner = std::function<int(CDlgDownloadUniteDev& dialog)>;

  CUpgradeQV120Dlg(IPageHost* host, QWidget* parent);
  ~CUpgradeQV120Dlg() override;

  void SetDevType(int devType) override;
  void ReloadPaths() override;
  void Refresh(int flag) override;

  // Looks for the tool, draws the indicator and updates the buttons.
  void DetectTool();
  void UpdateButtons();
  // The four button commands.
  void OnCommand(int id);

  int Port() const { return logic_.Port(); }
  const DeviceEntry& Entry() const { return logic_.Entry(); }
  const QString& BinPath() const { return binPath_; }
  const QString& ZpkPath() const { return zpkPath_; }
  // The file remembered for `variant` ("" when none).
  QString RememberedPath(UpdatePath which, int variant) const;
  QLineEdit* Edit(int id) const;
  CSkinButtonEx* Button(int id) const;

  void SetDownloadRunner(DownloadRunner runner) { runner_ = std::move(runner); }

 protected:
  void OnTimer(int id) override;

 private:
  void ChooseFile(UpdatePath which);
  void RunUpdate(UpdatePath which);
  void DrawPortIndicator(int image);
  void PushPathsToEdits();
  CSkinButtonEx* MakeButton(int id, QPoint pos, QSize size, int normal, int hover, int pressed,
                            int disabled);

  CProductPageLogic logic_;
  QString binPath_;
  QString zpkPath_;
  std::map<int, QString> binHistory_;
  std::map<int, QString> zpkHistory_;
  QLineEdit* binEdit_;
  QLineEdit* zpkEdit_;
  CSkinButtonEx* chooseBin_ = nullptr;
  CSkinButtonEx* updateBin_ = nullptr;
  CSkinButtonEx* chooseZpk_ = nullptr;
  CSkinButtonEx* updateZpk_ = nullptr;
  CDeviceChangeWatcher* deviceWatcher_;
  DownloadRunner runner_;
};
