#include "device/WireTraceDecode.h"

#include <cstdio>

#include "device/FrameCodec.h"
#include "device/FrameFormat.h"

namespace varnok {

namespace {

std::string Printable(const std::uint8_t* p, std::size_t n, std::size_t max = 24) {
  std::string s;
  for (std::size_t i = 0; i < n && i < max; ++i) {
    if (p[i] == 0) break;
    if (p[i] < 0x20 || p[i] > 0x7E) return std::string();
    s += static_cast<char>(p[i]);
  }
  return s;
}

std::string Hex32(std::uint32_t v) {
  char b[16];
  std::snprintf(b, sizeof b, "0x%08X", static_cast<unsigned>(v));
  return b;
}

std::string Hex8(unsigned v) {
  char b[8];
  std::snprintf(b, sizeof b, "0x%02X", v & 0xFFu);
  return b;
}

}  // namespace

std::string HexText(const std::uint8_t* data, std::size_t n, std::size_t max) {
  std::string s;
  char b[4];
  for (std::size_t i = 0; i < n && i < max; ++i) {
    std::snprintf(b, sizeof b, i == 0 ? "%02x" : " %02x", data[i]);
    s += b;
  }
  if (n > max) s += " ...";
  return s;
}

const char* FramedCommandName(std::uint8_t command) {
  switch (command) {
    case frame::kCmdSyncLoader: return "SYNC-LOADER";
    case frame::kCmdQueryName: return "QUERY-NAME";
    case frame::kCmdDeviceInfo: return "DEVICE-INFO";
    case frame::kCmdIdStrings: return "ID-STRINGS";
    case frame::kCmdVerify: return "VERIFY";
    case frame::kCmdPartitionTable: return "PARTITION-TABLE";
    case frame::kCmdReadUserData: return "READ-USER-DATA";
    case frame::kCmdRestart: return "RESTART";
    case frame::kCmdSetTime: return "SET-TIME";
    case frame::kCmdSelectPartition: return "SELECT-PARTITION";
    case frame::kCmdWriteUserData: return "WRITE-USER-DATA";
    case frame::kCmdErase: return "ERASE";
    case frame::kCmdWriteBlock: return "WRITE-BLOCK";
    case frame::kCmdFinish: return "FINISH";
    case frame::kCmdRebootToLoader: return "REBOOT-TO-LOADER";
  }
  return "command";
}

const char* ClassicCommandName(std::uint8_t command) {
  switch (command) {
    case frame::kClassicQueryName: return "QUERY-NAME";
    case frame::kClassicReadUserData: return "READ-USER-DATA";
    case frame::kClassicWriteUserData: return "WRITE-USER-DATA";
    case frame::kClassicEnterUpdate: return "ENTER-UPDATE";
    case frame::kClassicErase: return "ERASE";
    case frame::kClassicWriteBlock: return "write block";
    case frame::kClassicFinish: return "FINISH";
  }
  return "command";
}

void CTraceDecoder::DescribeFramed(DecodedFrame& f) {
  const std::uint8_t* p = f.bytes.data() + frame::kPayloadOffset;
  const int n = static_cast<int>(frame::GetLe16(f.bytes.data() + frame::kLengthOffset));
  if (n <= 0) {
    f.text = "empty frame";
    return;
  }
  if (f.toTool) {
    f.command = p[0];
    f.text = FramedCommandName(p[0]);
    if (p[0] == frame::kCmdErase && n >= 5) {
      const std::uint32_t base = frame::GetLe32(p + 1);
      f.text += " at " + Hex32(base);
      for (int k = 0; havePartitions_ && k < frame::kPartitionCount; ++k)
        if (partitionBases_[k] == base) f.text += " (partition ID" + std::to_string(k + 1) + ")";
    } else if (p[0] == frame::kCmdWriteBlock && n >= 9) {
      f.blockIndex = static_cast<int>(frame::GetLe16(p + 5));
      f.blockBytes = n - 9;
      f.text = "write block " + std::to_string(f.blockIndex) + " (" +
               std::to_string(f.blockBytes) + " bytes) at " + Hex32(frame::GetLe32(p + 1));
    } else if (p[0] == frame::kCmdSelectPartition && n >= 2) {
      f.text += " ID" + std::to_string(p[1]);
    } else if (n > 1) {
      const std::string s = Printable(p + 1, static_cast<std::size_t>(n - 1));
      f.text += s.empty() ? " (" + std::to_string(n - 1) + " bytes)" : " \"" + s + "\"";
    }
    return;
  }
  if (n < 2) {
    f.text = "reply " + Hex8(p[0]);
    return;
  }
  f.command = p[1];
  f.ack = p[0] == frame::kStatusAccepted;
  const char* name = FramedCommandName(p[1]);
  if (n == 2) {
    f.text = f.ack ? std::string("ACK ") + name : "refused " + Hex8(p[0]) + " " + name;
    return;
  }
  f.text = "reply " + Hex8(p[0]) + " " + name + ", " + std::to_string(n - 2) + " data bytes";
  const std::string s = Printable(p + 2, static_cast<std::size_t>(n - 2));
  if (!s.empty()) f.text += " \"" + s + "\"";
  if (p[1] == frame::kCmdPartitionTable && n - 2 >= frame::kPartitionTableSize - 1) {
    havePartitions_ = true;
    for (int k = 0; k < frame::kPartitionCount; ++k)
      partitionBases_[k] = frame::GetLe32(p + 2 + k * frame::kPartitionEntrySize);
  }
}

void CTraceDecoder::CutFramed(std::vector<std::uint8_t>& buffer, bool toTool, bool final,
                              std::vector<DecodedFrame>& out) {
  auto emitRaw = [&](std::size_t count) {
    DecodedFrame f;
    f.t = t_;
    f.line = line_;
    f.toTool = toTool;
    f.raw = true;
    f.bytes.assign(buffer.begin(), buffer.begin() + static_cast<std::ptrdiff_t>(count));
    f.text = std::to_string(count) + " bytes: " + HexText(f.bytes.data(), count);
    out.push_back(std::move(f));
    buffer.erase(buffer.begin(), buffer.begin() + static_cast<std::ptrdiff_t>(count));
  };
  while (!buffer.empty()) {
    std::size_t sync = 0;
    while (sync + 1 < buffer.size() &&
           !(buffer[sync] == frame::kSync0 && buffer[sync + 1] == frame::kSync1))
      ++sync;
    if (sync + 1 >= buffer.size()) {
      // No sync pair: a last AA may still begin one.
      const bool keepLast = !final && buffer.back() == frame::kSync0;
      if (buffer.size() > 1 || !keepLast) emitRaw(buffer.size() - (keepLast ? 1 : 0));
      return;
    }
    if (sync > 0) {
      emitRaw(sync);
      continue;
    }
    if (buffer.size() < static_cast<std::size_t>(frame::kHeaderSize)) {
      if (final) emitRaw(buffer.size());
      return;
    }
    const std::size_t total = frame::GetLe16(buffer.data() + frame::kLengthOffset) +
                              static_cast<std::size_t>(frame::kOverhead);
    if (buffer[2] != frame::kFramedZero) {
      emitRaw(2);
      continue;
    }
    if (buffer.size() < total) {
      if (final) emitRaw(buffer.size());
      return;
    }
    DecodedFrame f;
    f.t = t_;
    f.line = line_;
    f.toTool = toTool;
    f.bytes.assign(buffer.begin(), buffer.begin() + static_cast<std::ptrdiff_t>(total));
    buffer.erase(buffer.begin(), buffer.begin() + static_cast<std::ptrdiff_t>(total));
    DescribeFramed(f);
    const int n = static_cast<int>(total) - frame::kOverhead;
    if (frame::FrameChecksum(f.bytes.data() + frame::kPayloadOffset, n) !=
            frame::GetLe32(f.bytes.data() + frame::kPayloadOffset + n) ||
        f.bytes[total - 2] != frame::kCr || f.bytes[total - 1] != frame::kLf)
      f.text += " [bad checksum or end]";
    out.push_back(std::move(f));
  }
}

DecodedFrame CTraceDecoder::Classic(const std::vector<std::uint8_t>& b) {
  DecodedFrame f;
  f.t = t_;
  f.line = line_;
  f.toTool = true;
  f.bytes = b;
  if (b.size() >= 3 && b[0] == frame::kSync0 && b[1] == frame::kSync1) {
    f.command = b[2];
    f.text = ClassicCommandName(b[2]);
    blockHeaderSent_ = false;
    if (b[2] == frame::kClassicWriteBlock &&
        b.size() >= static_cast<std::size_t>(frame::kClassicBlockHeaderSize)) {
      std::uint32_t address = frame::GetLe32(b.data() + 3);
      const int len = static_cast<int>(frame::GetLe16(b.data() + 7)) - frame::kClassicBlockTrailerSize;
      if (address >= frame::kClassicFlashBase) address -= frame::kClassicFlashBase;
      classicBlockBytes_ = len > 0 ? len : 0;
      classicBlock_ = len > 0 ? static_cast<int>(address / static_cast<std::uint32_t>(len)) : 0;
      blockHeaderSent_ = true;
      f.text = "write block " + std::to_string(classicBlock_) + " header (" +
               std::to_string(classicBlockBytes_) + " bytes)";
    } else if (b.size() > 4) {
      f.text += " (" + std::to_string(b.size() - 4) + " parameter bytes)";
    }
    return f;
  }
  if (blockHeaderSent_) {
    blockHeaderSent_ = false;
    f.command = frame::kClassicWriteBlock;
    f.blockIndex = classicBlock_;
    f.blockBytes = static_cast<int>(b.size()) - frame::kClassicBlockTrailerSize;
    f.text = "write block " + std::to_string(classicBlock_) + " (" +
             std::to_string(f.blockBytes) + " bytes)";
    return f;
  }
  f.raw = true;
  f.text = std::to_string(b.size()) + " bytes: " + HexText(b.data(), b.size());
  return f;
}

void CTraceDecoder::CutClassicReplies(bool final, std::vector<DecodedFrame>& out) {
  while (!rx_.empty()) {
    DecodedFrame f;
    f.t = t_;
    f.line = line_;
    f.toTool = false;
    const bool reply = rx_.size() >= 2 && rx_[0] == frame::kClassicReply0 &&
                       rx_[1] == frame::kClassicReply1;
    if (reply || (rx_.size() == 1 && rx_[0] == frame::kClassicReply0 && !final)) {
      if (rx_.size() < static_cast<std::size_t>(frame::kClassicReplySize)) {
        if (!final) return;
      } else {
        f.bytes.assign(rx_.begin(), rx_.begin() + frame::kClassicReplySize);
        rx_.erase(rx_.begin(), rx_.begin() + frame::kClassicReplySize);
        f.command = f.bytes[frame::kClassicCodeOffset];
        f.ack = true;
        f.text = "reply " + Hex8(f.command);
        out.push_back(std::move(f));
        continue;
      }
    }
    f.raw = true;
    f.bytes.swap(rx_);
    rx_.clear();
    const std::string s = Printable(f.bytes.data(), f.bytes.size(), 64);
    f.text = std::to_string(f.bytes.size()) + " bytes: " +
             (s.empty() ? HexText(f.bytes.data(), f.bytes.size()) : "\"" + s + "\"");
    out.push_back(std::move(f));
  }
}

void CTraceDecoder::Feed(const TraceRecordLine& e, std::vector<DecodedFrame>& out) {
  if (e.event != TraceEvent::Tx && e.event != TraceEvent::Rx) {
    Flush(out);
    return;
  }
  t_ = e.t;
  line_ = e.line;
  const bool tx = e.event == TraceEvent::Tx;
  if (classic_) {
    if (tx) {
      CutClassicReplies(true, out);
      out.push_back(Classic(e.bytes));
    } else {
      rx_.insert(rx_.end(), e.bytes.begin(), e.bytes.end());
      CutClassicReplies(false, out);
    }
    return;
  }
  std::vector<std::uint8_t>& buffer = tx ? tx_ : rx_;
  // A change of direction ends what the other side had begun.
  CutFramed(tx ? rx_ : tx_, !tx, true, out);
  buffer.insert(buffer.end(), e.bytes.begin(), e.bytes.end());
  CutFramed(buffer, tx, false, out);
}

void CTraceDecoder::Flush(std::vector<DecodedFrame>& out) {
  if (classic_) {
    CutClassicReplies(true, out);
    return;
  }
  CutFramed(tx_, true, true, out);
  CutFramed(rx_, false, true, out);
}

std::string DescribeBytes(bool classic, bool toTool, const std::vector<std::uint8_t>& bytes) {
  CTraceDecoder decoder(classic);
  TraceRecordLine e;
  e.event = toTool ? TraceEvent::Tx : TraceEvent::Rx;
  e.bytes = bytes;
  std::vector<DecodedFrame> frames;
  decoder.Feed(e, frames);
  decoder.Flush(frames);
  std::string text;
  for (const DecodedFrame& f : frames) text += (text.empty() ? "" : "; ") + f.text;
  return text;
}

}  // namespace varnok
