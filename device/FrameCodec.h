#pragma once
// Builders and tests for the frames laid out in FrameFormat.h. Shared by the
// device objects and the tool simulator.

#include <cstdint>
#include <string>
#include <vector>

namespace frame {

using Bytes = std::vector<std::uint8_t>;

// The additive checksum of a framed payload: both length bytes plus every
// payload byte, as unsigned bytes, modulo 2^32.
std::uint32_t FrameChecksum(const std::uint8_t* payload, int n);

// Writes the length-prefixed frame of `payload` (n bytes, n <= 65535) to
// `out`, which must hold n + kOverhead bytes. Returns n + kOverhead, or 0
// when `out` is null.
int EncodeFrame(const std::uint8_t* payload, int n, std::uint8_t* out);
Bytes EncodeFrame(const Bytes& payload);

// A framed reply: payload status, command echo, data.
Bytes EncodeReply(std::uint8_t status, std::uint8_t command, const Bytes& data = {});

// Acknowledgement test of a framed reply.
//  - 13 bytes: acknowledged when it starts AA 55 00 02 00 80; otherwise
//    refused and the status byte (offset 5) is stored in *refusal.
//  - longer: acknowledged only when the status byte is 0x80 (otherwise
//    refused, status stored in *refusal).
//  - shorter: refused; *refusal is left alone.
// `refusal` may be null.
bool IsAck(const std::uint8_t* reply, int length, int* refusal = nullptr);

// Classic request: AA 55 command params... and FF unless the command is C9.
Bytes ClassicRequest(std::uint8_t command, const Bytes& params = {});

// Classic 6-byte reply B4 96 code 00 00 00.
Bytes ClassicReply(std::uint8_t code);

// True when `reply` is exactly 6 bytes starting B4 96 `code`.
bool IsClassicReply(const std::uint8_t* reply, int length, std::uint8_t code);

// Little-endian helpers.
void PutLe16(Bytes& out, unsigned value);
void PutLe32(Bytes& out, std::uint32_t value);
std::uint32_t GetLe32(const std::uint8_t* p);
unsigned GetLe16(const std::uint8_t* p);

// Low 16 bits of the sum of `n` bytes.
unsigned Sum16(const std::uint8_t* data, int n);
// Sum of `n` bytes modulo 2^32.
std::uint32_t Sum32(const std::uint8_t* data, int n);

// Splits a byte stream into length-prefixed frames, for a peer that reads
// requests (the simulator). Feed bytes; Next() returns true with a complete
// frame's payload, dropping garbage before a sync pair. A frame whose
// checksum does not match is returned with `checksumOk` false.
class FrameScanner {
 public:
  void Feed(const std::uint8_t* data, int n);
  bool Next(Bytes& payload, bool& checksumOk);
  void Clear() { buffer_.clear(); }
  std::size_t Pending() const { return buffer_.size(); }

 private:
  Bytes buffer_;
};

}  // namespace frame
