#pragma once
// The simulator's own reply codes for requests it refuses. The PC only
// tells accepted (0x80 / the expected classic code) from anything else, so
// these values are the simulator's choice; they are distinct so that a test
// or a log can tell why a request was refused.

#include <cstdint>

namespace varnok::sim {

// Framed refusals: the status byte of a 13-byte reply.
constexpr std::uint8_t kRefuseUnknownCommand = 0x01;
constexpr std::uint8_t kRefuseBadFrameSum = 0x02;  // frame checksum or CR LF wrong
constexpr std::uint8_t kRefuseBadBlockSum = 0x03;  // sum16 of a block wrong
constexpr std::uint8_t kRefuseOutOfRange = 0x04;   // not erased / outside the region
constexpr std::uint8_t kRefuseVerifyMismatch = 0x05;
constexpr std::uint8_t kRefuseNotInLoader = 0x06;
constexpr std::uint8_t kRefuseBadRequest = 0x07;  // malformed payload

// Classic refusal: B4 96 EF 00 00 00. Any code the PC does not wait for
// makes it try again.
constexpr std::uint8_t kClassicRefused = 0xEF;

// The default status of --fault refuse without a status.
constexpr std::uint8_t kDefaultFaultStatus = kRefuseUnknownCommand;

}  // namespace varnok::sim
