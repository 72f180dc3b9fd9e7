// The wire trace reader and the frame decoder of `varnok-cli trace` over
// arbitrary text: a cut or edited trace must give an error naming its
// line, never a crash, and whatever parses must decode.
#include <cstdint>
#include <string>
#include <vector>

#include "device/WireTraceDecode.h"
#include "device/WireTraceFile.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  varnok::WireTraceData trace;
  std::string error;
  if (!varnok::ParseWireTrace(std::string(reinterpret_cast<const char*>(data), size), trace,
                              error)) {
    if (error.rfind("line ", 0) != 0) __builtin_trap();
    return 0;
  }
  for (const bool classic : {false, true}) {
    varnok::CTraceDecoder decoder(classic);
    std::vector<varnok::DecodedFrame> frames;
    for (const varnok::TraceRecordLine& event : trace.events) decoder.Feed(event, frames);
    decoder.Flush(frames);
    for (const varnok::TraceRecordLine& event : trace.events)
      if (!event.bytes.empty()) varnok::DescribeBytes(classic, event.event == varnok::TraceEvent::Tx, event.bytes);
  }
  return 0;
}
