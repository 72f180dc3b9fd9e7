#pragma once
// CProductPage: what the product pages (QV120, QV220, PX110) share on top
// of CHostedPage: the tool search and model check (CProductPageLogic), the
// port indicator in the main window's surface, the device-change watch,
// the files remembered per model for the run, the open-file dialog of the
// two update paths, the skinned button factory and the start of the
// download dialog.
//
// A page supplies UpdateButtons() (which of its buttons the tool and the
// remembered files enable) and builds its own widgets.
// Threads: UI thread only.

#include <QRect>
#include <QString>

#include <functional>
#include <map>

#include "app/pages/HostedPage.h"
#include "update/ProductPageLogic.h"

class CDeviceChangeWatcher;
class CDlgDownloadUniteDev;
class CSkinButtonEx;
class QLineEdit;

class CProductPage : public CHostedPage {
  Q_OBJECT
 public:
  // Runs a prepared download dialog; returns its result. Replaceable for
  // tests; by default the dialog's own RunModal().
  using DownloadRunner = std::function<int(CDlgDownloadUniteDev& dialog)>;

  // Bitmaps of the skinned buttons: normal, hover, pressed, disabled.
  struct ButtonBitmaps {
    int normal, hover, pressed, disabled;
  };
  static constexpr ButtonBitmaps kBrowseBitmaps = {378, 378, 376, 375};
  static constexpr ButtonBitmaps kUpdateBitmaps = {263, 263, 265, 264};

  CProductPage(IPageHost* host, QWidget* parent, int backdropId, PageKind kind, int devType);
  ~CProductPage() override;

  void SetDevType(int devType) override;
  // The remembered files of the variant into the path boxes.
  void ReloadPaths() override;

  // Looks for the tool, draws the indicator and updates the buttons.
  virtual void DetectTool();
  virtual void UpdateButtons() = 0;

  int Port() const { return logic_.Port(); }
  const DeviceEntry& Entry() const { return logic_.Entry(); }
  CProductPageLogic& Logic() { return logic_; }

  // The file remembered for `variant` ("" when none; the key is not added).
  QString RememberedPath(UpdatePath which, int variant) const;
  // The paths of the two updates (the remembered files, or what Update read
  // from the path boxes).
  const QString& BinPath() const { return binPath_; }
  const QString& ZpkPath() const { return zpkPath_; }

  void SetDownloadRunner(DownloadRunner runner) { runner_ = std::move(runner); }

 protected:
  // Device change while active: DetectTool by default.
  virtual void OnDeviceChange();

  // Status image 360 (tool found) or 361 (no tool) and the port number,
  // at the top of the page's placement.
  void DrawPortIndicator(int image);
  // DrawPortIndicator with the image for the current port.
  void DrawPortIndicatorForPort();

  // The remembered file of the current variant (the key is added when absent).
  QString& Remembered(UpdatePath which);
  // The path boxes of the two updates (a page without a .zpk update passes null).
  void SetPathEdits(QLineEdit* bin, QLineEdit* zpk);
  // BinPath and ZpkPath := the remembered files of the variant.
  void LoadRememberedPaths();
  void PushPathsToEdits();
  // Browse: the open-file dialog; on OK the path is remembered, shown in
  // its box, and the buttons and the page are updated.
  void ChooseFile(UpdatePath which);
  // Update: DetectTool; without a tool nothing happens; else the path is
  // read from its box and RunDownload goes on with it.
  void RunUpdate(UpdatePath which, QWidget* owner, CSkinButtonEx* button);

  // The open-file dialog of `which`, starting at the remembered file.
  // On OK the path is remembered for the variant and returned; "" when
  // cancelled.
  QString AskForFile(UpdatePath which);

  // Pressing Update with `path` (read from the page's path box): the model
  // check, extension test and file check of CProductPageLogic, their
  // message boxes, then the download dialog (owned by `owner`, which may
  // be null) while `button` is disabled. Returns after the dialog closed.
  void RunDownload(UpdatePath which, const QString& path, QWidget* owner, CSkinButtonEx* button);

  // A skinned child button of command `id`, clicks going to OnCommand(id);
  // `name` is what assistive technology calls it (the bitmap carries the
  // only visible caption).
  CSkinButtonEx* MakeButton(int id, const QRect& geometry, const ButtonBitmaps& bitmaps,
                            const char* name);
  virtual void OnCommand(int id) { (void)id; }

  CProductPageLogic logic_;
  QString binPath_;
  QString zpkPath_;

 private:
  QLineEdit* binEdit_ = nullptr;
  QLineEdit* zpkEdit_ = nullptr;
  std::map<int, QString> binHistory_;
  std::map<int, QString> zpkHistory_;
  CDeviceChangeWatcher* deviceWatcher_;
  DownloadRunner runner_;
};
