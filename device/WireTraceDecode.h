#pragma once
// The frames of a wire trace, decoded through the frame layouts of
// FrameFormat.h: what `varnok-cli trace` prints and what the replay names
// when the program sends something else than the recording.

#include <cstdint>
#include <string>
#include <vector>

#include "device/WireTraceFile.h"

namespace varnok {

struct DecodedFrame {
  double t = 0;          // time of the event that completed it
  int line = 0;          // its line in the trace
  bool toTool = true;    // request (tx) or reply (rx)
  bool raw = false;      // bytes that form no frame
  std::uint8_t command = 0;  // request command / echoed command; 0 for raw
  bool ack = false;      // an accepting reply
  int blockIndex = -1;   // a block write: its index ...
  int blockBytes = 0;    // ... and its image bytes
  std::string text;      // "ERASE at 0x08140000", "ACK ERASE", ...
  std::vector<std::uint8_t> bytes;
};

// Name of a command byte of the framed tools, or of the classic tool.
const char* FramedCommandName(std::uint8_t command);
const char* ClassicCommandName(std::uint8_t command);

// Feeds a trace's events in order and cuts each direction's bytes into
// frames: length-prefixed frames for the new and programmer tools, classic
// requests and 6-byte replies for the classic tool.
class CTraceDecoder {
 public:
  explicit CTraceDecoder(bool classic) : classic_(classic) {}
  void Feed(const TraceRecordLine& event, std::vector<DecodedFrame>& out);
  // What is left in the buffers, as raw bytes.
  void Flush(std::vector<DecodedFrame>& out);

 private:
  void CutFramed(std::vector<std::uint8_t>& buffer, bool toTool, bool final,
                 std::vector<DecodedFrame>& out);
  void CutClassicReplies(bool final, std::vector<DecodedFrame>& out);
  DecodedFrame Classic(const std::vector<std::uint8_t>& bytes);
  void DescribeFramed(DecodedFrame& f);

  bool classic_;
  double t_ = 0;
  int line_ = 0;
  std::vector<std::uint8_t> tx_, rx_;
  std::uint32_t partitionBases_[6] = {};
  bool havePartitions_ = false;
  bool blockHeaderSent_ = false;  // classic: the next packet belongs to it
  int classicBlock_ = -1, classicBlockBytes_ = 0;
};

// One line of text for bytes on their own (a replay's expected request).
std::string DescribeBytes(bool classic, bool toTool, const std::vector<std::uint8_t>& bytes);

// Bytes as "aa 55 00 ..." (at most `max` of them, then "...").
std::string HexText(const std::uint8_t* data, std::size_t n, std::size_t max = 32);

}  // namespace varnok
