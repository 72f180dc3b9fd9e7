#pragma once
// The Telnet side of a remote tool line, without any I/O: the decoder that
// splits what the server sends into data and Telnet messages, the option
// negotiation (RFC 1143's rules, so that no answer loops), and the frames a
// client sends. The layouts are TelnetFormat.h's.

#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "device/TelnetFormat.h"

namespace varnok::telnet {

// One Telnet message the server sent (never data).
struct Message {
  enum class Kind { Command, Negotiation, Subnegotiation };
  Kind kind = Kind::Command;
  std::uint8_t verb = 0;    // Command: the verb; Negotiation: WILL/WONT/DO/DONT
  std::uint8_t option = 0;  // Negotiation, Subnegotiation
  std::vector<std::uint8_t> payload;  // Subnegotiation: IAC undoubled, at most kMaxSubnegotiation
};

// Splits a received stream into data and messages. A message or an escape
// may be cut anywhere between two Feed calls.
class CTelnetDecoder {
 public:
  // Appends the data bytes of `bytes` to `data` (0xFF 0xFF becomes 0xFF)
  // and every message completed by them to `messages`.
  void Feed(const std::uint8_t* bytes, std::size_t length, std::vector<std::uint8_t>& data,
            std::vector<Message>& messages);

 private:
  enum class State { Data, Iac, Negotiation, SubOption, SubData, SubIac };
  State state_ = State::Data;
  std::uint8_t verb_ = 0;
  Message sub_;
};

// Which options each side has on, after RFC 1143 (without its queue: this
// client asks for each option once).
class COptionNegotiation {
 public:
  // The options this client enables on its side and asks the server to
  // enable on the server's.
  COptionNegotiation(std::vector<std::uint8_t> ourOptions, std::vector<std::uint8_t> theirOptions);

  // The requests to send at the start: WILL for each of ours, DO for each of theirs.
  std::vector<std::uint8_t> Requests();
  // Takes one negotiation of the server; appends the answer it needs (if any) to `reply`.
  void Take(std::uint8_t verb, std::uint8_t option, std::vector<std::uint8_t>& reply);

  bool Ours(std::uint8_t option) const { return us_[option] == Side::Yes; }
  bool Theirs(std::uint8_t option) const { return them_[option] == Side::Yes; }
  // Every request got its answer, yes or no.
  bool Settled() const;

 private:
  enum class Side : std::uint8_t { No, Yes, Asked };
  std::vector<std::uint8_t> ourOptions_;
  std::vector<std::uint8_t> theirOptions_;
  std::array<Side, 256> us_{};
  std::array<Side, 256> them_{};
};

// Frames a client sends.
std::vector<std::uint8_t> Negotiation(std::uint8_t verb, std::uint8_t option);
// IAC SB COM-PORT-OPTION <command> <value, IAC doubled> IAC SE.
std::vector<std::uint8_t> ComPortCommand(std::uint8_t command, const std::vector<std::uint8_t>& value);
std::vector<std::uint8_t> SetBaudRate(std::uint32_t baud);
// Appends `length` data bytes with every 0xFF doubled.
void AppendEscaped(const std::uint8_t* data, std::size_t length, std::vector<std::uint8_t>& out);

}  // namespace varnok::telnet
