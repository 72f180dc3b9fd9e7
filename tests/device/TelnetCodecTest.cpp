// The Telnet side of a remote line without a socket: what the decoder makes
// of a server's stream, how options are negotiated, the escapes and the
// remote port names.
#include <gtest/gtest.h>

#include "device/RemotePorts.h"
#include "device/TelnetCodec.h"

namespace varnok::telnet {
namespace {

using Bytes = std::vector<std::uint8_t>;

// Feeds `stream` in pieces of `step` bytes; data and a summary of the messages.
std::pair<Bytes, std::string> Decode(const Bytes& stream, std::size_t step) {
  CTelnetDecoder decoder;
  Bytes data;
  std::vector<Message> messages;
  for (std::size_t at = 0; at < stream.size(); at += step)
    decoder.Feed(stream.data() + at, std::min(step, stream.size() - at), data, messages);
  std::string summary;
  for (const Message& m : messages) {
    if (m.kind == Message::Kind::Command) summary += "cmd" + std::to_string(m.verb) + " ";
    if (m.kind == Message::Kind::Negotiation)
      summary += "neg" + std::to_string(m.verb) + "/" + std::to_string(m.option) + " ";
    if (m.kind == Message::Kind::Subnegotiation)
      summary += "sb" + std::to_string(m.option) + ":" + std::to_string(m.payload.size()) + " ";
  }
  return {data, summary};
}

TEST(TelnetDecoder, DataComesOutUnescapedAndMessagesNeverAsDataWhereverTheStreamIsCut) {
  const struct {
    const char* name;
    Bytes stream;
    Bytes data;
    std::string messages;
  } rows[] = {
      {"doubled 0xFF is one data byte", {1, kIac, kIac, 2}, {1, 0xFF, 2}, ""},
      {"negotiation between data", {'a', kIac, kWill, kOptBinary, 'b'}, {'a', 'b'}, "neg251/0 "},
      {"line state notification", {'x', kIac, kSb, kOptComPort, 106, 0x60, kIac, kSe, 'y'},
       {'x', 'y'}, "sb44:2 "},
      {"0xFF inside a subnegotiation", {kIac, kSb, kOptComPort, 101, kIac, kIac, kIac, kSe},
       {}, "sb44:2 "},
      {"a command", {kIac, 241, 'z'}, {'z'}, "cmd241 "},
      {"a frame that ends in 0xFF", {0x10, 0x20, kIac, kIac}, {0x10, 0x20, 0xFF}, ""},
  };
  for (const auto& row : rows) {
    for (std::size_t step : {std::size_t{1}, std::size_t{2}, row.stream.size()}) {
      SCOPED_TRACE(std::string(row.name) + ", pieces of " + std::to_string(step));
      const auto got = Decode(row.stream, step);
      EXPECT_EQ(got.first, row.data);
      EXPECT_EQ(got.second, row.messages);
    }
  }
}

TEST(TelnetDecoder, AnEndlessSubnegotiationKeepsABoundedPayload) {
  Bytes stream = {kIac, kSb, kOptComPort};
  stream.insert(stream.end(), 100000, 7);
  stream.insert(stream.end(), {kIac, kSe, 'd'});
  const auto got = Decode(stream, 4096);
  EXPECT_EQ(got.first, Bytes{'d'});
  EXPECT_EQ(got.second, "sb44:" + std::to_string(kMaxSubnegotiation) + " ");
}

TEST(TelnetOptions, AnswersOnlyChangesSoThatNoPeerEchoesForever) {
  COptionNegotiation options({kOptBinary, kOptComPort}, {kOptBinary});
  EXPECT_EQ(options.Requests(), (Bytes{kIac, kWill, kOptBinary, kIac, kWill, kOptComPort, kIac, kDo,
                                       kOptBinary}));
  const struct {
    std::uint8_t verb, option;
    Bytes reply;
  } steps[] = {
      {kDo, kOptBinary, {}},                        // our request granted
      {kWill, kOptBinary, {}},                      // theirs granted
      {kDo, kOptBinary, {}},                        // again: already on, no answer
      {kDont, kOptComPort, {}},                     // refused: off, no answer
      {kDo, 1, {kIac, kWont, 1}},                   // ECHO we do not offer
      {kDo, 1, {kIac, kWont, 1}},                   // still not
      {kWill, kOptSuppressGoAhead, {kIac, kDont, kOptSuppressGoAhead}},  // not asked for here
      {kWont, kOptBinary, {kIac, kDont, kOptBinary}},  // switched off: acknowledged once
      {kWont, kOptBinary, {}},
  };
  for (const auto& s : steps) {
    Bytes reply;
    options.Take(s.verb, s.option, reply);
    EXPECT_EQ(reply, s.reply) << int(s.verb) << "/" << int(s.option);
  }
  EXPECT_TRUE(options.Settled());
  EXPECT_TRUE(options.Ours(kOptBinary));
  EXPECT_FALSE(options.Ours(kOptComPort));
  EXPECT_FALSE(options.Theirs(kOptBinary));
}

TEST(TelnetFrames, ComPortCommandsAndDataDoubleEvery0xFF) {
  EXPECT_EQ(SetBaudRate(115200), (Bytes{kIac, kSb, kOptComPort, kSetBaudRate, 0, 1, 0xC2, 0, kIac, kSe}));
  EXPECT_EQ(SetBaudRate(0xFF00FF00u),
            (Bytes{kIac, kSb, kOptComPort, 1, 0xFF, 0xFF, 0, 0xFF, 0xFF, 0, kIac, kSe}));
  Bytes out;
  const Bytes frame = {0x55, 0xFF, 0xFF, 0x01};
  AppendEscaped(frame.data(), frame.size(), out);
  EXPECT_EQ(out, (Bytes{0x55, 0xFF, 0xFF, 0xFF, 0xFF, 0x01}));
}

TEST(RemotePortNames, UrlsAreParsedToOneNumberEachAndBadOnesExplained) {
  const struct {
    const char* text;
    bool ok;
    const char* host;
    int port;
  } rows[] = {
      {"rfc2217://127.0.0.1:4000", true, "127.0.0.1", 4000},
      {"socket://bench-pi:65535", true, "bench-pi", 65535},
      {"rfc2217://[::1]:4001", true, "::1", 4001},
      {"rfc2217://::1:4001", false, "", 0},
      {"rfc2217://host", false, "", 0},
      {"rfc2217://host:0", false, "", 0},
      {"rfc2217://host:65536", false, "", 0},
      {"rfc2217://:4000", false, "", 0},
      {"rfc2217://host:40x0", false, "", 0},
      {"telnet://host:23", false, "", 0},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.text);
    RemoteAddress address;
    std::string error;
    ASSERT_EQ(ParseRemoteAddress(row.text, address, error), row.ok);
    if (!row.ok) {
      EXPECT_FALSE(error.empty());
      continue;
    }
    EXPECT_EQ(address.host, row.host);
    EXPECT_EQ(address.port, row.port);
    EXPECT_EQ(address.Url(), row.text);
    const int number = RemotePortNumber(address);
    EXPECT_EQ(RemotePortNumber(address), number);
    EXPECT_EQ(RemotePortName(number), row.text);
  }
  EXPECT_EQ(RemotePortName(1), "");
}

}  // namespace
}  // namespace varnok::telnet
