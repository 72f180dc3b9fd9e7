#pragma once
// CSTM32DevOmnix: the programmer tool (factory type 2). The new protocol's
// commands and payloads with the differences of the programmer:
//  - identification accepts any tool whose name token contains "OMNIX";
//  - a closed port is reopened by OpenPort(comNumber) (the port OpenDevice
//    found while comNumber is unset), and the frame goes out in pieces; a
//    line that hung up is reopened the same way but keeps a stop request;
//  - ClosePort sets `abort`, so every command after it returns its abort
//    result until OpenPort or OpenDevice clears the flag;
//  - the numbers of framed::kProgrammerCommands (erase: no purge, 20 s;
//    write block: 10 s; restart: no purge; query name: purge once, 100 ms);
//  - verify refusal codes, SyncLoader accepting any reply, no
//    SelectPartition and no ReadIdStrings.
// EraseFlash, WriteBlock and RestartDevice are CSTM32DevNew's run over the
// programmer's table.

#include "device/STM32DevNew.h"

class CSTM32DevOmnix : public CSTM32DevNew {
 public:
  CSTM32DevOmnix();
  ~CSTM32DevOmnix() override;  // closes the port without ClosePort

  // Ignores the expected name. 0 with the port open at the first tool whose
  // name token contains "OMNIX" (deviceName = that token), 2 when only other
  // tools answered, 1 when none did. comNumber is left alone.
  int OpenDevice(const std::string& expectedName) override;
  // Closes an open port directly (abort is not set), clears abort, opens.
  bool OpenPort(int comPort) override;
  // As CSTM32DevNew's, but purged once before the first try and only after
  // a data reply.
  int QueryDeviceName(std::string& name) override;
  bool ReadIdStrings(IdStringRecord& record) override;  // true, nothing read
  bool ClosePort() override;  // sets abort, then closes; no purge; true
  // 0 ok, the refusal code of a 13-byte refusal (16 for a shorter reply;
  // 17 is accepted by the workflow), -1 three time-outs, a send/receive
  // abort or an image shorter than 16 bytes, 1 abort seen before a try.
  int VerifyImage(const std::uint8_t* image, int size) override;
  int SelectPartition() override;  // 0, does nothing
  // Any reply with the right echo gives 0, a refusal included; -1 after
  // ninety time-outs, 1 abort.
  int SyncLoader() override;

  // Status returned by VerifyImage for a refusal shorter than 13 bytes.
  static constexpr int kShortVerifyRefusal = 16;

 protected:
  const framed::CommandTable& Commands() const override;
  // Reopens a closed port by OpenPort(comNumber), then writes in pieces.
  int SendFramed(const std::uint8_t* frame, int length) override;
  bool ReopenClosedPort() override;

 private:
  int foundPort_ = -1;              // the port of the last successful OpenDevice
  bool closedByClosePort_ = false;  // else a closed port means a lost line
};
