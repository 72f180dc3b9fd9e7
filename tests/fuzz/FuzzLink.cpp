#include "tests/fuzz/FuzzLink.h"

#include <vector>

#include "device/FrameCodec.h"

namespace fuzzlink {

namespace {

struct Link {
  const std::uint8_t* data = nullptr;
  std::size_t size = 0;
  std::size_t at = 0;
  std::vector<std::uint8_t> queue;
  std::size_t queueAt = 0;
  std::uint64_t now = 0;
};

Link& State() {
  static Link link;
  return link;
}

}  // namespace

void Begin(const std::uint8_t* data, std::size_t size) {
  Link& s = State();
  s.data = data;
  s.size = size;
  s.at = 0;
  s.queue.clear();
  s.queueAt = 0;
  s.now = 0;
}

std::uint8_t TakeByte() {
  Link& s = State();
  return s.at < s.size ? s.data[s.at++] : 0;
}

bool Exhausted() { return State().at >= State().size; }

void OnWrite() {
  Link& s = State();
  if (Exhausted()) return;
  const int kind = TakeByte() % 4;
  const std::uint8_t length = TakeByte();
  std::vector<std::uint8_t> bytes;
  if (kind == 0 || kind == 1) {
    const std::size_t n = std::min<std::size_t>(length, s.size - s.at);
    bytes.assign(s.data + s.at, s.data + s.at + n);
    s.at += n;
  }
  if (kind == 1) bytes = frame::EncodeFrame(bytes);
  if (kind == 3) bytes = frame::ClassicReply(length);
  s.queue.erase(s.queue.begin(), s.queue.begin() + static_cast<std::ptrdiff_t>(s.queueAt));
  s.queueAt = 0;
  s.queue.insert(s.queue.end(), bytes.begin(), bytes.end());
}

int TakeQueued(std::uint8_t* buffer, int capacity) {
  Link& s = State();
  int n = 0;
  while (n < capacity && s.queueAt < s.queue.size()) buffer[n++] = s.queue[s.queueAt++];
  return n;
}

bool HasQueued() { return State().queueAt < State().queue.size(); }

void DropQueued() {
  State().queue.clear();
  State().queueAt = 0;
}

std::uint64_t Now() { return ++State().now; }

void Advance(int ms) {
  if (ms > 0) State().now += static_cast<std::uint64_t>(ms);
}

}  // namespace fuzzlink
