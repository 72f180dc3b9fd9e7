#pragma once
// The faults a simulated tool plays on request, and their command-line
// grammar. One fault per --fault option:
//
//   no-name                         never answer the name query (C9 / 11)
//   refuse:CMD[@SEL][:STATUS]       refuse the request; it is not carried out.
//                                   Framed: reply with STATUS (hex, default 01)
//                                   instead of 80. Classic: reply B4 96 STATUS
//                                   (default EF).
//   drop:CMD[@SEL]                  carry the request out, send no reply
//   late:CMD[@SEL]:MS               hold the reply back MS milliseconds
//   split:CMD[@SEL]:BYTES[:MS]      send the first BYTES bytes of the reply,
//                                   pause MS (default 50), then the rest
//   corrupt:CMD[@SEL][:OFFSET]      invert the reply byte at OFFSET (default 0)
//   wrong-echo:CMD[@SEL]            framed: the echoed command byte is wrong;
//                                   classic: the reply code is wrong
//   unplug-after-block:N[:MS]       after the reply to the Nth written block
//                                   the line goes away (link removed, pty
//                                   closed); with MS it comes back after MS
//                                   milliseconds, else the simulator ends
//
// CMD is the request's command byte in hex (2A, C1, 0x11). SEL picks which
// requests of that command are hit, counting every request of the command
// from 1 (retries included): "@3" only the third, "@3+" the third and every
// later one; without SEL every request. For the classic block command C1,
// refuse hits the block header and the other kinds the reply to the data
// packet.

#include <cstdint>
#include <string>
#include <vector>

namespace varnok::sim {

enum class FaultKind { Refuse, Drop, Late, Split, Corrupt, WrongEcho, UnplugAfterBlock };

struct Fault {
  FaultKind kind = FaultKind::Drop;
  std::uint8_t command = 0;
  unsigned from = 1;      // first occurrence hit (1-based)
  bool onwards = true;    // hits every occurrence from `from` on
  int value = 0;          // status, ms, offset, byte count or block number
  int pauseMs = 0;        // split pause; unplug: replug delay (0 = stays away)
  bool hasValue = false;  // refuse/corrupt: the optional value was given

  // True when the `occurrence`-th request of `cmd` is hit.
  bool Hits(std::uint8_t cmd, unsigned occurrence) const;
};

class FaultPlan {
 public:
  // Parses one fault and adds it; false with a message in `error` (may be
  // null) when the fault is malformed. no-name becomes drops of both name
  // queries, C9 and 11.
  bool Add(const std::string& text, std::string* error);

  // The first fault of `kind` that hits the request, or null.
  const Fault* Find(FaultKind kind, std::uint8_t cmd, unsigned occurrence) const;

  // The unplug fault, or null.
  const Fault* Unplug() const;

  bool Empty() const { return faults_.empty(); }
  const std::vector<Fault>& All() const { return faults_; }

 private:
  std::vector<Fault> faults_;
};

}  // namespace varnok::sim
