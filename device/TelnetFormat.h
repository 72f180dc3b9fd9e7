#pragma once
// The bytes of a remote tool line: Telnet (RFC 854, 855, 856, 858) and its
// COM-PORT-OPTION (RFC 2217), as a serial-over-network server such as
// ser2net speaks them. Every frame a remote line sends is built by one
// function of TelnetCodec.h from these constants.
//
//   command:         IAC <verb>                      (NOP, BRK, ...)
//   negotiation:     IAC <WILL|WONT|DO|DONT> <option>
//   subnegotiation:  IAC SB <option> <payload, IAC doubled> IAC SE
//   COM-PORT:        IAC SB 44 <command> <value> IAC SE; the server answers
//                    with command + 100 and the value it took
//   data:            every byte as it is, 0xFF (IAC) doubled

#include <cstdint>

namespace varnok::telnet {

constexpr std::uint8_t kIac = 255;
constexpr std::uint8_t kDont = 254;
constexpr std::uint8_t kDo = 253;
constexpr std::uint8_t kWont = 252;
constexpr std::uint8_t kWill = 251;
constexpr std::uint8_t kSb = 250;
constexpr std::uint8_t kSe = 240;

// Options.
constexpr std::uint8_t kOptBinary = 0;
constexpr std::uint8_t kOptSuppressGoAhead = 3;
constexpr std::uint8_t kOptComPort = 44;

// COM-PORT-OPTION commands, client to server; the server's answer to each
// is the same command plus kServerOffset.
constexpr std::uint8_t kSetBaudRate = 1;    // value: 4 bytes, big-endian
constexpr std::uint8_t kSetDataSize = 2;    // value: 5..8
constexpr std::uint8_t kSetParity = 3;      // value: kParity*
constexpr std::uint8_t kSetStopSize = 4;    // value: kStop*
constexpr std::uint8_t kSetControl = 5;     // value: kControl*
constexpr std::uint8_t kNotifyLineState = 6;
constexpr std::uint8_t kNotifyModemState = 7;
constexpr std::uint8_t kPurgeData = 12;     // value: kPurge*
constexpr std::uint8_t kServerOffset = 100;

constexpr std::uint8_t kParityNone = 1;
constexpr std::uint8_t kParityOdd = 2;
constexpr std::uint8_t kParityEven = 3;
constexpr std::uint8_t kStopOne = 1;
constexpr std::uint8_t kStopTwo = 2;
constexpr std::uint8_t kControlNoFlow = 1;
constexpr std::uint8_t kControlDtrOn = 8;
constexpr std::uint8_t kControlRtsOn = 11;
// What the server discards: what it received from the device and has not
// sent yet, what it has not yet written to the device, or both.
constexpr std::uint8_t kPurgeReceive = 1;
constexpr std::uint8_t kPurgeTransmit = 2;
constexpr std::uint8_t kPurgeBoth = 3;

// Longest subnegotiation payload kept; a longer one is read to its end and
// dropped, so that a server that never ends one costs no memory.
constexpr std::size_t kMaxSubnegotiation = 64;

}  // namespace varnok::telnet
