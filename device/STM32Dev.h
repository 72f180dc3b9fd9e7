#pragma once
// CSTM32Dev: the classic tool protocol (factory type 0). Requests AA 55 cmd
// ... FF, 6-byte replies B4 96 code. `partition` 0 selects the first
// command variant, anything else the second; `deviceType` 7 selects the
// smaller erase count of the first variant.

#include <vector>

#include "device/UsbDevInterface.h"

class CSTM32Dev : public CUsbDevInterface {
 public:
  CSTM32Dev();
  ~CSTM32Dev() override;

  // 0 at the first USBSER port that opens, 1 when none opens. The name is
  // not compared and comNumber is not changed.
  int OpenDevice(const std::string& expectedName) override;
  bool OpenPort(int comPort) override;
  // 1 name read, 0 three time-outs or abort inside an exchange, -1 abort
  // seen before a try.
  int QueryDeviceName(std::string& name) override;
  // true once any reply byte came (at most 5, not terminated).
  bool ReadDeviceName(std::uint8_t* buffer) override;
  bool ReadIdStrings(IdStringRecord& record) override;        // true, nothing read
  // `buffer` holds kDeviceDataBufferSize bytes and receives the raw reply
  // (length = bytes received); the no-data reply B4 96 E0 clears its first
  // 4 bytes.
  bool ReadUserData(std::uint8_t* buffer, int& length) override;
  // At most kClassicMaxUserData bytes; more gives false without sending.
  bool WriteUserData(const std::uint8_t* data, int length) override;
  int EnterUpdateMode() override;  // 1 ok, -1 three tries failed, 0 abort
  int EraseFlash() override;       // 1 ok, -1 three tries failed, 0 abort
  // Writes `len` (at most kClassicMaxBlock) image bytes at `offset`.
  // 0 written; -1 not written after three tries (time-outs or wrong
  // replies) or bad arguments; 1 abort seen (before or after the header was
  // accepted: an interrupted block is never reported as written).
  int WriteBlock(const std::uint8_t* image, int len, int offset, int index) override;
  // Sends AA 55 C3 FF (up to 3 sends while they time out) and reads the
  // answer without judging it. True unless a send saw abort (a stop during
  // the wait for the answer still gives true).
  bool FinishUpdate() override;
  bool ClosePort() override;
  bool IsPortOpen() override;
  bool SetDeviceTime() override;                        // true
  bool ReadPartitionTable(std::uint8_t* table) override;  // true, nothing read
  int VerifyImage(const std::uint8_t* image, int size) override;  // 1
  bool ReadDeviceInfo(std::uint8_t* buffer) override;   // true, nothing read
  int SelectPartition() override;                       // 0
  int RestartDevice(int waitMs) override;               // 0
  int SyncLoader() override;                            // 0
  int RebootToLoader() override;                        // 1
 private:
  // The try loop of the commands answered by one 6-byte code: up to three
  // tries; a time-out or another reply starts the next (after
  // `retryPauseMs` for another reply). 1 when `code` came, 0 abort, -1
  // three tries without it.
  int ExchangeForCode(const std::vector<std::uint8_t>& request, std::uint8_t code, int timeoutMs,
                      int retryPauseMs);
};
