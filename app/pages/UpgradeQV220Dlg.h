#pragma once
// CUpgradeQV220Dlg: the product page of the QV220, QV320, QV240, QV340 and
// RW480 (product codes 2..6; the main window sets the variant). Two modes:
//
// Update mode (backdrop 316): a .bin and a .zpk path box, each with a
// Browse and an Update button, with the QV120 page's rules except that an
// RW480 (DevType 6) is never asked its name, a .bin path without ".BIN"
// gives "File format error!", and the .zpk download dialog has no owner.
//
// Data mode (backdrop 315): the page opens the tool's port itself (57600
// 8N1) and shows what the tool sends, line by line, in the data view
// (CMyRichEdit), with buttons to print, clear, copy and edit the text.
// A line goes to the view at its line feed (CR stays in it); bytes after
// the last line feed wait for the next one. A line that is valid UTF-8
// shows as UTF-8, any other in the legacy code page (Chinese (PRC)
// systems: 0xB0 becomes 0xA1 0xA3, then GBK; elsewhere Windows-1252).
// While bytes arrive the page is busy: busy cursor, and the page and the
// main window ignore the mouse (the view's right-click menu and the title
// buttons too); timer 500 (3001 ms) ends a reception at its next tick and
// reopens, silently, a port that failed to open. Letting go of the port
// (release before hiding, update mode, a port recheck) ends a reception,
// and a page that is not active never holds the window busy.
//
// Closing the port while bytes are in flight: see CCaptureLink (the
// monitor thread never waits for the page; a close hands over what was
// already received; the destructor drops it).
// Threads: UI thread only.

#include <QLocale>
#include <QString>

#include <functional>
#include <map>

#include "app/dataview/LanguageConvertor.h"
#include "app/pages/ProductPage.h"
#include "tools/LineAssembler.h"
#include "tools/ReceiveTiming.h"
#include "tools/TextDecode.h"

class CCaptureLink;
class CMyRichEdit;
class QLineEdit;

// Messages the page handles (sent by itself and by the main window).
constexpr unsigned WM_RECHECK_PORT = 0x7E8;   // after a device change
constexpr unsigned WM_RELEASE_PORT = 0x7E9;   // before the main window hides the page
constexpr unsigned WM_REENTER_DATA = 0x7EA;   // update mode, then data mode again
constexpr unsigned WM_RECEIVED_BYTE = 0x0407; // wParam = the byte

class CUpgradeQV220Dlg : public CProductPage {
  Q_OBJECT
 public:
  enum class Mode { Update = 0, Data = 1 };

  static constexpr int kBackdropUpdate = 316;
  static constexpr int kBackdropData = 315;
  static constexpr int kTimerData = 500;
  static constexpr int kPollMs = 3001;
  // Commands (button ids).
  static constexpr int kCmdChooseBin = 134;
  static constexpr int kCmdUpdateBin = 132;
  static constexpr int kCmdChooseZpk = 135;
  static constexpr int kCmdUpdateZpk = 133;
  static constexpr int kCmdDataMode = 145;
  static constexpr int kCmdUpdateMode = 146;
  static constexpr int kCmdCopy = 153;
  static constexpr int kCmdEdit = 154;
  static constexpr int kCmdClear = 155;
  static constexpr int kCmdPrint = 156;
  // Controls.
  static constexpr int kBinEditId = 1013;
  static constexpr int kZpkEditId = 1015;
  static constexpr int kViewId = 1009;

  // Seconds of the local day (hour * 3600 + minute * 60 + second).
  using DayClock = std::function<int()>;

  CUpgradeQV220Dlg(IPageHost* host, QWidget* parent);
  ~CUpgradeQV220Dlg() override;

  int GetBackgroundImage() const override { return background_; }
  void PlaceAndShow(const QRect& screenRect) override;
  void Refresh(int flag) override;
  // Only the page shown can hold the window busy.
  bool IsBusy() const override { return IsActive() && timing_.Busy(); }
  void ReleasePort() override;
  void UpdateButtons() override;
  void OnCommand(int id) override;
  long OnPageMessage(unsigned message, quintptr wParam, qintptr lParam) override;

  void SwitchToDataMode();
  void SwitchToUpdateMode();
  // One received byte (what the port's monitor delivers).
  void OnReceivedByte(unsigned char byte);

  Mode CurrentMode() const { return mode_; }
  CMyRichEdit* View() const { return view_; }
  const CReceiveTiming& Timing() const { return timing_; }
  CCaptureLink* Link() const { return link_; }
  const std::string& PendingBytes() const { return lines_.Pending(); }
  // A button of the current mode, or null when it does not exist now.
  CSkinButtonEx* Button(int id) const;
  QLineEdit* Edit(int id) const;

  // Decides the text conversion from `locale` instead of the system's.
  void UseLocale(const QLocale& locale);
  void SetDayClock(DayClock clock) { clock_ = std::move(clock); }

 protected:
  void OnTimer(int id) override;
  void OnDeviceChange() override;
  void focusInEvent(QFocusEvent* event) override;
  void showEvent(QShowEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void CreateUpdateButtons();
  void CreateDataButtons();
  void DestroyButtons(std::initializer_list<int> ids);
  void PlaceModeButtons();
  void ApplyButtonVisibility();
  void OpenPortAndMonitor();
  void UpdateFrom(UpdatePath which);
  void PrintView();
  // One byte received at `now` (seconds of the day), then the hold is
  // released if the page is not shown.
  void Receive(unsigned char byte, int now);
  // Busy cursor and the mouse hold while a reception runs.
  void TakeByte(unsigned char byte, int now);
  void ShowBusy();
  void ReleaseBusy();
  // Closes the data port and ends a reception the bytes handed over at the
  // close may have started.
  void CloseLink();
  // No reception in progress: the times cleared, the busy hold released.
  void EndReception();
  QString DisplayText(std::string line) const;
  int Now() const;

  Mode mode_ = Mode::Update;
  int background_ = kBackdropUpdate;
  CReceiveTiming timing_;
  CLineAssembler lines_;
  CLanguageConvertor convertor_;
  LegacyCodePage codePage_;
  QLineEdit* binEdit_;
  QLineEdit* zpkEdit_;
  CMyRichEdit* view_;
  CCaptureLink* link_;
  std::map<int, CSkinButtonEx*> buttons_;
  CSkinButtonEx* dataModeButton_;
  CSkinButtonEx* updateModeButton_;
  bool busyShown_ = false;
  DayClock clock_;
  int batchNow_ = 0;  // the clock when the link's current batch was taken
};
