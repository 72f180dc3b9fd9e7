#pragma once
// CUsbDevInterface: the abstract device object through which every
// conversation with a tool goes. Three implementations exist:
//   0 CSTM32Dev       classic frames            (STM32Dev.h)
//   1 CSTM32DevNew    length-prefixed frames    (STM32DevNew.h)
//   2 CSTM32DevOmnix  length-prefixed frames    (STM32DevOmnix.h)
// made by CProductFactory::CreateDevice.
//
// Threads: one thread at a time uses a device object (the page's thread for
// identification, the download worker for a run), and only that thread
// opens and closes its port. Another thread may only ask for a stop:
// RequestStop() (or setting `abort`); every send and receive loop sees it
// at its next poll, and RequestStop also wakes the port wait in progress so
// that this happens at once. The port is closed afterwards by the thread
// that used it, or by the owner once that thread has ended.
//
// Results differ by class (see each operation's header comment); callers
// test every result the way its class defines.

#include <atomic>
#include <cstdint>
#include <string>
#include <vector>

#include "device/FrameFormat.h"
#include "device/SyncSerialPort.h"

// The six strings that ReadIdStrings fills, in record order.
struct IdStringRecord {
  std::string strings[6];
};

// Buffer sizes callers must pass.
constexpr int kDeviceNameBufferSize = 32;   // ReadDeviceName: zeroed, 32 bytes
constexpr int kDeviceDataBufferSize = 2048; // ReadUserData, ReadDeviceInfo

class CUsbDevInterface {
 public:
  CUsbDevInterface();
  virtual ~CUsbDevInterface();  // closes `port`
  CUsbDevInterface(const CUsbDevInterface&) = delete;
  CUsbDevInterface& operator=(const CUsbDevInterface&) = delete;

  // Slot order is fixed; see the implementations for results.
  virtual int OpenDevice(const std::string& expectedName) = 0;               // 1
  virtual bool OpenPort(int comPort);                                          // 2
  virtual int QueryDeviceName(std::string& name);                              // 3
  virtual bool ReadDeviceName(std::uint8_t* buffer);                           // 4
  virtual bool ReadIdStrings(IdStringRecord& record) = 0;                      // 5
  virtual bool ReadUserData(std::uint8_t* buffer, int& length) = 0;            // 6
  virtual bool WriteUserData(const std::uint8_t* data, int length) = 0;        // 7
  virtual int EnterUpdateMode() = 0;                                           // 8
  virtual int EraseFlash() = 0;                                                // 9
  virtual int WriteBlock(const std::uint8_t* image, int len, int offset,
                         int index) = 0;                                       // 10
  virtual bool FinishUpdate() = 0;                                             // 11
  virtual bool ClosePort() = 0;                                                // 12
  virtual bool IsPortOpen() = 0;                                               // 13
  virtual bool SetDeviceTime() = 0;                                            // 14
  virtual bool ReadPartitionTable(std::uint8_t* table) = 0;                    // 15
  virtual int VerifyImage(const std::uint8_t* image, int size) = 0;            // 16
  virtual bool ReadDeviceInfo(std::uint8_t* buffer) = 0;                       // 17
  virtual int SelectPartition() = 0;                                           // 18
  virtual int RestartDevice(int waitMs) = 0;                                   // 19
  virtual int SyncLoader() = 0;                                                // 20
  virtual int RebootToLoader();                                                // 21

  void SetDeviceType(int type) { deviceType = type; }

  // Any thread: sets `abort` and wakes the port wait in progress.
  void RequestStop() {
    abort = true;
    port.Interrupt();
  }

  // Limits OpenDevice (and every reconnect through it) to port `comPort`:
  // the scan then yields that port alone, when its device exists. -1 (the
  // default) scans every port. Set before OpenDevice, on the owning thread.
  void RestrictToPort(int comPort) { onlyPort_ = comPort; }

  int comNumber;          // port opened by OpenPort; -1 after a failed OpenPort
  int baudRate;           // 115200
  int partition;          // selector written by the workflow
  std::atomic<bool> abort;  // stop request, see the class comment
  int deviceType;         // DevType from device.xml
  std::string deviceName; // name found by OpenDevice (framed classes)
  std::vector<int> portList;  // ports of the last scan, in scan order
  IdStringRecord idStrings;
  std::uint8_t partitionTable[frame::kPartitionTableSize];
  CSyncSerialPort port;

 protected:
  // Loop results: 1 (or a byte count) success, 0 abort seen, -1 time-out.
  static constexpr int kLoopAbort = 0;
  static constexpr int kLoopTimeout = -1;
  // Send loops give up after this long, ms.
  static constexpr int kSendLimitMs = 2000;
  // Pause after an incomplete write, ms.
  static constexpr int kSendRetryPauseMs = 50;
  // Longest single wait between receive polls, ms: also the latest an
  // abort request is seen.
  static constexpr int kPollWaitMs = 10;

  // Classic send: the whole frame per attempt, again after 50 ms when a
  // write came up short, for at most 2000 ms.
  int SendWholeFrame(const std::uint8_t* frame, int length);

  // Framed send in pieces: writes what remains, advancing by what went out.
  int SendFramePieces(const std::uint8_t* frame, int length);

  // Classic receive: returns the count of the first non-empty Read (a reply
  // in pieces is seen in its first piece only).
  int ClassicReceive(std::uint8_t* buffer, int capacity, int timeoutMs);

  // Framed receive into a 2048-byte buffer: validates the header once 7
  // bytes are in (AA 55 and the echo `expectedCommand`, else -1 at once)
  // and returns the expected total (length + 11) when complete.
  int FramedReceive(std::uint8_t* buffer, std::uint8_t expectedCommand, int timeoutMs);

  // Reopens a port found closed before a framed send or receive. The
  // framed classes override it (by name or by number); the base does
  // nothing and returns false.
  virtual bool ReopenClosedPort();

  // Waits up to min(remaining, kPollWaitMs) for bytes; never longer.
  void WaitForData(int remainingMs);

  // The port scan of OpenDevice: fills portList (VCP family only when
  // `includeVcp`), honouring RestrictToPort. Returns the count.
  int ScanCandidatePorts(bool includeVcp);

 private:
  int onlyPort_ = -1;
};
