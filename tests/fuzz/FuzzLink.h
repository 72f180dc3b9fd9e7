#pragma once
// The far end of the fuzz build's serial port and clock: the fuzz input is
// read as one stream from which both the harness (which operation to run
// next) and the port (what the tool answers) take their bytes.
//
// Replies are handed out one chunk per write of the device: a chunk is a
// kind byte and a length byte, then the bytes:
//   kind % 4 == 0  raw bytes as they stand
//   kind % 4 == 1  the bytes as the payload of a well-formed length-prefixed
//                  frame (so deep paths need no guessed checksums)
//   kind % 4 == 2  silence: nothing arrives (the device times out)
//   kind % 4 == 3  a classic 6-byte reply whose code is the length byte
// Time is virtual: waits and pauses advance it at once, every reading of
// the clock advances it by 1 ms, so no loop can spin without ending.
//
// Threads: one thread (the fuzzer's) uses all of it.

#include <cstddef>
#include <cstdint>

namespace fuzzlink {

// Starts a new input: the stream, an empty receive queue, time 0.
void Begin(const std::uint8_t* data, std::size_t size);

// The next byte of the stream for the harness; 0 once it is used up.
std::uint8_t TakeByte();
bool Exhausted();

// Called by the port: the device wrote a request; queues the next chunk.
void OnWrite();
// Moves up to `capacity` queued bytes into `buffer`; returns the count.
int TakeQueued(std::uint8_t* buffer, int capacity);
bool HasQueued();
void DropQueued();

// Virtual time, ms.
std::uint64_t Now();
void Advance(int ms);

}  // namespace fuzzlink
