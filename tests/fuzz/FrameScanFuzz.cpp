// The frame scanner and the reply parsers over arbitrary bytes.
#include <cstdint>
#include <string>

#include "device/FrameCodec.h"
#include "device/FrameFormat.h"
#include "device/FramedCommand.h"
#include "device/FramedText.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const int n = static_cast<int>(size);
  // Fed in two pieces, split where the first byte says.
  frame::FrameScanner scanner;
  const int split = size > 0 ? data[0] % (n + 1) : 0;
  scanner.Feed(data, split);
  frame::Bytes payload;
  bool checksumOk = false;
  while (scanner.Next(payload, checksumOk)) {
  }
  scanner.Feed(data + split, n - split);
  while (scanner.Next(payload, checksumOk)) {
    int refusal = 0;
    frame::IsAck(payload.data(), static_cast<int>(payload.size()), &refusal);
  }
  int refusal = 0;
  frame::IsAck(data, n, &refusal);
  frame::IsClassicReply(data, n, size > 2 ? data[2] : 0);
  framed::DataLength(n, frame::kFrameBufferSize, size > 1 ? data[1] % 3 : 0);
  const std::string text = framed::TextOf(data, n);
  framed::NameToken(text);
  IdStringRecord record;
  framed::ParseIdStrings(text, record);
  return 0;
}
