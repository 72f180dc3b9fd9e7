// The Telnet and COM-PORT-OPTION decoding of a remote line over whatever a
// server may send: the decoder fed in two pieces, every negotiation taken,
// and the round trip of data through the escape.
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "device/TelnetCodec.h"

using namespace varnok::telnet;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  CTelnetDecoder decoder;
  COptionNegotiation options({kOptBinary, kOptSuppressGoAhead, kOptComPort},
                             {kOptBinary, kOptSuppressGoAhead});
  options.Requests();
  std::vector<std::uint8_t> out;
  std::vector<Message> messages;
  const std::size_t split = size > 0 ? data[0] % (size + 1) : 0;
  decoder.Feed(data, split, out, messages);
  decoder.Feed(data + split, size - split, out, messages);
  std::vector<std::uint8_t> replies;
  for (const Message& m : messages) {
    if (m.payload.size() > kMaxSubnegotiation) std::abort();
    if (m.kind == Message::Kind::Negotiation) {
      const std::size_t before = replies.size();
      options.Take(m.verb, m.option, replies);
      if (replies.size() - before > 3) std::abort();  // one answer at most
    }
  }
  // Whatever data came out goes back in escaped and comes out the same.
  std::vector<std::uint8_t> escaped;
  AppendEscaped(out.data(), out.size(), escaped);
  CTelnetDecoder again;
  std::vector<std::uint8_t> back;
  messages.clear();
  again.Feed(escaped.data(), escaped.size(), back, messages);
  if (back != out || !messages.empty()) std::abort();
  return 0;
}
