#pragma once
// CSTM32DevNew: the new tool protocol (factory type 1): length-prefixed
// frames with a checksum, a partition table of six entries "ID1".."ID6"
// chosen by `partition` 2..7. A port found closed is reopened by name
// (OpenDevice(deviceName)) before the next send or receive.
//
// Every command runs the pattern of framed::kNewToolCommands (FramedCommand.h):
// tries, purges, pause before the receive and reply time-out are there.
// Time-outs below are per try. Data replies are copied to the caller's
// buffer and never beyond the capacity each operation states.

#include <ctime>

#include "device/FramedCommand.h"
#include "device/UsbDevInterface.h"

class CSTM32DevNew : public CUsbDevInterface {
 public:
  CSTM32DevNew();
  ~CSTM32DevNew() override;  // ClosePort when the port is open

  // Scans both USB serial families; on every port that opens asks the name
  // (ReadDeviceName) and compares its token (text up to the first "|"):
  // equal ignoring case, or the tool "PX540" when "PX630" is expected;
  // expecting "OMNIX" takes any name containing it and gives 2 at the first
  // tool without it (that port stays open). On a match deviceName = expected.
  // 0 found and open, 1 nothing answered, 2 a tool answered with another name.
  int OpenDevice(const std::string& expectedName) override;
  // Closes (ClosePort), clears abort; comNumber = the port on success, else -1.
  bool OpenPort(int comPort) override;
  // 1 ok (name = the data as text, at most 259 bytes; empty for a bare
  // acknowledgement), 0 abort, -1 three time-outs, the refusal code of a
  // 13-byte refusal, -2 for a reply shorter than 13 bytes.
  int QueryDeviceName(std::string& name) override;
  // `buffer` holds kDeviceNameBufferSize bytes: at most 31 name bytes are
  // stored, followed by a zero.
  bool ReadDeviceName(std::uint8_t* buffer) override;
  // Fills the strings named by the tokens "IDk-value" of the tool's text.
  bool ReadIdStrings(IdStringRecord& record) override;
  // `buffer` holds kDeviceDataBufferSize bytes; `length` = bytes stored.
  bool ReadUserData(std::uint8_t* buffer, int& length) override;
  // At most kMaxFramedUserData bytes; more gives false without sending.
  bool WriteUserData(const std::uint8_t* data, int length) override;
  int EnterUpdateMode() override;  // 0, does nothing
  int EraseFlash() override;       // 0 ok, 1 refused or abort, -1 three time-outs
  // `len` 0..kMaxFramedBlock; 0 ok, -1 refused, failed or a bad length,
  // 1 abort seen before a try.
  int WriteBlock(const std::uint8_t* image, int len, int offset, int index) override;
  bool FinishUpdate() override;    // clears abort first; true when acknowledged
  bool ClosePort() override;       // purges both queues, closes; true
  bool IsPortOpen() override;
  bool SetDeviceTime() override;   // sends LocalTimeNow() as "YYYY-MM-DD-hh-mm-ss"
  // `table` holds kPartitionTableSize bytes; at most that many are stored.
  bool ReadPartitionTable(std::uint8_t* table) override;
  // Sends the partition name and the 4 image bytes starting 16 before the
  // end. 0 ok, -1 refused, failed or an image shorter than 16 bytes, 1 abort
  // seen before a try.
  int VerifyImage(const std::uint8_t* image, int size) override;
  bool ReadDeviceInfo(std::uint8_t* buffer) override;  // kDeviceDataBufferSize
  int SelectPartition() override;  // 0 ok, -1 refused or failed, 1 abort
  // The reply time-out of each try is `waitMs`. 0 ok, -1 fail or a
  // negative wait (nothing is sent then), 1 abort.
  int RestartDevice(int waitMs) override;
  int SyncLoader() override;       // 0 ok, -1 refused or 90 time-outs, 1 abort
  int RebootToLoader() override;   // 0 ok, -1 fail, 1 abort

 protected:
  // The pattern numbers of this tool class.
  virtual const framed::CommandTable& Commands() const;
  // Framed send: reopens a closed port (ReopenClosedPort), then sends the
  // whole frame per attempt. Loop results (1 / 0 abort / -1 time-out).
  virtual int SendFramed(const std::uint8_t* frame, int length);
  // Reopens by OpenDevice(deviceName). Not re-entered while it runs.
  bool ReopenClosedPort() override;
  // Local wall-clock time for SetDeviceTime; tests replace it.
  virtual std::tm LocalTimeNow() const;

  // Encodes `payload` and runs `pattern` over this object's port; the reply
  // lands in `reply` (frame::kFrameBufferSize bytes).
  framed::ExchangeResult Exchange(const framed::CommandPattern& pattern,
                                  const frame::Bytes& payload, std::uint8_t* reply);

  // Results of an "acknowledgement" command: 0 for an acknowledgement,
  // `refused` for any other reply, `abortInLoop` when a send or receive saw
  // abort, 1 for an abort before a try, -1 when every try timed out.
  static int AckResult(const framed::ExchangeResult& result, const std::uint8_t* reply,
                       int refused, int abortInLoop);

  // A data-reply command: copies at most `capacity` data bytes to `out`
  // (stored count in *stored when given) and purges both queues; a reply of
  // 13 bytes or less gives IsAck's verdict.
  bool ReadDataReply(const framed::CommandPattern& pattern, std::uint8_t* out, int capacity,
                     int extraTrim, int* stored);

  // QueryDeviceName with the purge after the tries switched on or off.
  int QueryName(const framed::CommandPattern& pattern, std::string& name, bool purgeAfterLoop);

  // Partition entry 1..6 chosen by `partition` 2..7, 0 for none.
  int SelectedEntry() const;
  // Base flash address of the selected entry; 0 when none is selected.
  std::uint32_t PartitionBase() const;
  // The verify payload: 15, the partition name ("IDk|" or four zeros), the
  // image tag. False when the image is too short to hold a tag.
  bool BuildVerifyPayload(const std::uint8_t* image, int size, frame::Bytes& payload) const;

 private:
  class Channel;
  bool reopening_ = false;
};
