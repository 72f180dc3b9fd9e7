#pragma once
// CDlgDownloadUniteDev: the dialog through which every update runs. A
// caption-less, topmost 417 x 191 window on bitmap 373 with one status
// line (blue while all is well, red after a failure), a progress bar in
// the same colour, and one button that cancels the run and becomes "ok"
// after a good one. Dragged by its face; Enter, Escape and Space do
// nothing. The button has the keyboard focus from the start; Alt+F4 is the
// close request (stop at once and close), handled by the dialog itself.
//
// The work is the update core's CDownloadWorkflow, which the dialog owns.
// The workflow reports through a CDownloadViewBridge whose signals reach
// the dialog queued, on the UI thread; the dialog never blocks on the
// worker except in the workflow's bounded Cancel() and teardown.
//
// Use (a product page): construct; SetPartitionSelector and SetDeviceEntry
// (or let CProductPageLogic::PrepareUpdate fill Workflow()); LoadUpdateFile;
// RunModal(); destroy.
// Threads: UI thread only.

#include <QColor>
#include <QDialog>
#include <QPoint>
#include <QRect>

#include <string>

#include "app/pages/DownloadViewBridge.h"
#include "update/DownloadWorkflow.h"

class CButtonST;
class CColorStatic;
class QProgressBar;

class CDlgDownloadUniteDev : public QDialog {
  Q_OBJECT
 public:
  static constexpr int kWidth = 417;
  static constexpr int kHeight = 191;
  static constexpr int kBackground = 373;
  static constexpr int kButtonGlyph = 159;
  static constexpr int kButtonId = 3;
  static constexpr int kStatusId = 1018;
  static constexpr int kProgressId = 1019;
  static constexpr int kCmdFinish = 1023;
  // Offset from the owner's top-left to the dialog's.
  static constexpr int kOffsetX = 120;
  static constexpr int kOffsetY = 140;
  static const QColor kOkColour;    // RGB(0, 0, 255)
  static const QColor kFailColour;  // RGB(255, 0, 0)

  explicit CDlgDownloadUniteDev(QWidget* owner = nullptr);
  ~CDlgDownloadUniteDev() override;

  void SetPartitionSelector(int selector) { workflow_.SetPartitionSelector(selector); }
  void SetDeviceEntry(const DeviceEntry& entry) { workflow_.SetDeviceEntry(entry); }
  // False: the file is not for this tool (the page reports "Wrong file!").
  bool LoadUpdateFile(const std::string& path) { return workflow_.LoadUpdateFile(path); }
  CDownloadWorkflow& Workflow() { return workflow_; }

  // The dialog's initialisation: places the window, opens the tool and
  // starts the run (blocks while the tool is looked for). Call once.
  void StartRun();
  // StartRun, then the modal run; Accepted after "ok", Rejected otherwise.
  int RunModal();

  // Command 1023 and the button after a good run.
  void Finish();
  // The button while the run goes on or failed.
  void CancelRun();
  void OnCommand(int id);

  QString StatusText() const;
  bool OkFlag() const { return ok_; }
  QString ButtonCaption() const;
  int ProgressValue() const;
  int ProgressMaximum() const;
  QColor ProgressColour() const { return barColour_; }
  CButtonST* Button() const { return button_; }
  CColorStatic* StatusLine() const { return status_; }
  bool RunHasEnded() const { return ended_; }

 signals:
  void RunEnded();

 protected:
  void paintEvent(QPaintEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void OnButton();
  void SetOk(bool ok);
  void ApplyBarColour();
  void PlaceWindow();
  static bool IsSwallowedKey(int key);

  // The bridge is declared before the workflow so that it outlives it: the
  // workflow detaches its view while it is destroyed.
  CDownloadViewBridge bridge_;
  CDownloadWorkflow workflow_;
  std::shared_ptr<varnok::CWireTrace> trace_;  // $VARNOK_TRACE_DIR: this run's
  QWidget* owner_;
  CColorStatic* status_;
  QProgressBar* progress_;
  CButtonST* button_;
  bool ok_ = true;
  QColor barColour_;
  bool started_ = false;
  bool ended_ = false;
  bool dragging_ = false;
  QPoint dragCursor_;
  QRect dragWindow_;
};
