#include "device/RemoteLine.h"

#include <algorithm>

#include "device/Clock.h"
#include "device/WakeSignal.h"

namespace varnok {

using namespace telnet;

namespace {
constexpr int kReceiveChunk = 4096;
// One pump takes at most this much, so a flooding server cannot keep the
// caller from its own stop checks.
constexpr int kPumpLimit = 64 * 1024;
// How long the answers to the line settings are waited for.
constexpr int kSettingsAnswerMs = 2000;
constexpr int kReplySendMs = 1000;

int MsLeft(std::uint64_t deadline) {
  const std::uint64_t now = TickMs();
  return now >= deadline ? 0 : static_cast<int>(deadline - now);
}

std::uint8_t ParityCode(char parity) {
  return parity == 'E' ? kParityEven : parity == 'O' ? kParityOdd : kParityNone;
}
}  // namespace

bool CRemoteLine::Open(const RemoteAddress& address, const LineSettings& settings,
                       CWakeSignal& wake, std::string& error) {
  Close();
  url_ = address.Url();
  if (!socket_.Connect(address.host, address.port, kConnectTimeoutMs, wake, error)) {
    error = "cannot connect to " + url_ + ": " + error;
    return false;
  }
  telnet_ = address.scheme == RemoteScheme::Rfc2217;
  if (telnet_ && !Negotiate(settings, wake, error)) {
    error = url_ + ": " + error;
    Close();
    return false;
  }
  return true;
}

void CRemoteLine::Close() {
  socket_.Close();
  decoder_ = CTelnetDecoder();
  options_.reset();
  answered_.clear();
  replies_.clear();
  received_.clear();
  hungUp_ = false;
  notice_.clear();
}

bool CRemoteLine::Negotiate(const LineSettings& settings, CWakeSignal& wake, std::string& error) {
  options_.reset(new COptionNegotiation({kOptBinary, kOptSuppressGoAhead, kOptComPort},
                                        {kOptBinary, kOptSuppressGoAhead}));
  if (!SendAll(options_->Requests(), kNegotiationTimeoutMs, wake) ||
      !PumpUntil([this] { return options_->Settled(); }, kNegotiationTimeoutMs, wake)) {
    error = "the connection closed during the Telnet negotiation";
    return false;
  }
  if (!options_->Ours(kOptBinary) || !options_->Theirs(kOptBinary)) {
    error = options_->Settled()
                ? "the server refuses binary transmission, so the tool's bytes would not arrive unchanged"
                : "no answer to the Telnet negotiation (is it a raw TCP port? then use socket://)";
    return false;
  }
  if (!options_->Ours(kOptComPort)) {
    notice_ = url_ + ": the server does not take COM-PORT-OPTION; the line settings are the server's own";
    return true;
  }
  std::vector<std::uint8_t> set = SetBaudRate(settings.baud);
  for (const auto& frame :
       {ComPortCommand(kSetDataSize, {static_cast<std::uint8_t>(settings.dataBits)}),
        ComPortCommand(kSetParity, {ParityCode(settings.parity)}),
        ComPortCommand(kSetStopSize, {settings.stopBits == 2 ? kStopTwo : kStopOne}),
        ComPortCommand(kSetControl, {kControlNoFlow}), ComPortCommand(kSetControl, {kControlDtrOn}),
        ComPortCommand(kSetControl, {kControlRtsOn})})
    set.insert(set.end(), frame.begin(), frame.end());
  if (!SendAll(set, kNegotiationTimeoutMs, wake)) {
    error = "the connection closed while the line was set";
    return false;
  }
  // The settings are in force once the server has answered them; a server
  // that never does still gets them in order before any data.
  const auto answered = [this] {
    for (const std::uint8_t c : {kSetBaudRate, kSetDataSize, kSetParity, kSetStopSize})
      if (std::find(answered_.begin(), answered_.end(), c + kServerOffset) == answered_.end())
        return false;
    return true;
  };
  if (!PumpUntil(answered, kSettingsAnswerMs, wake)) {
    error = "the connection closed while the line was set";
    return false;
  }
  return true;
}

template <typename Done>
bool CRemoteLine::PumpUntil(Done done, int timeoutMs, CWakeSignal& wake) {
  const std::uint64_t deadline = TickMs() + static_cast<std::uint64_t>(timeoutMs);
  for (;;) {
    if (!Pump()) return false;
    if (done()) return true;
    const SocketWait w = socket_.Wait(false, MsLeft(deadline), wake);
    if (w == SocketWait::Failed) return false;
    if (w != SocketWait::Ready) return true;  // the caller looks at what it has
  }
}

bool CRemoteLine::Pump() {
  if (hungUp_) return false;
  std::uint8_t chunk[kReceiveChunk];
  std::vector<std::uint8_t> data;
  std::vector<Message> messages;
  for (int taken = 0; taken < kPumpLimit;) {
    const int n = socket_.Receive(chunk, sizeof chunk);
    if (n == 0) break;
    if (n < 0) {
      hungUp_ = true;
      break;
    }
    taken += n;
    if (!telnet_) {
      received_.insert(received_.end(), chunk, chunk + n);
      continue;
    }
    data.clear();
    messages.clear();
    decoder_.Feed(chunk, static_cast<std::size_t>(n), data, messages);
    received_.insert(received_.end(), data.begin(), data.end());
    for (const Message& m : messages) TakeMessage(m);
  }
  if (!replies_.empty() && !hungUp_) {
    // Answers are small; one the server does not take within its time is dropped.
    std::vector<std::uint8_t> replies;
    replies.swap(replies_);
    SendAll(replies, kReplySendMs, neverRaised_);
  }
  return !hungUp_;
}

void CRemoteLine::TakeMessage(const Message& message) {
  if (message.kind == Message::Kind::Negotiation && options_) {
    options_->Take(message.verb, message.option, replies_);
  } else if (message.kind == Message::Kind::Subnegotiation && message.option == kOptComPort &&
             !message.payload.empty() && answered_.size() < 64) {
    answered_.push_back(message.payload[0]);
  }
  // Line and modem state notifications, commands such as NOP: nothing to do.
}

bool CRemoteLine::SendAll(const std::vector<std::uint8_t>& bytes, int timeoutMs, CWakeSignal& wake) {
  const std::uint64_t deadline = TickMs() + static_cast<std::uint64_t>(timeoutMs);
  std::size_t sent = 0;
  while (sent < bytes.size()) {
    const int n = socket_.Send(bytes.data() + sent, static_cast<int>(bytes.size() - sent));
    if (n < 0) {
      hungUp_ = true;
      return false;
    }
    sent += static_cast<std::size_t>(n);
    if (sent == bytes.size()) break;
    if (n == 0 && socket_.Wait(true, MsLeft(deadline), wake) != SocketWait::Ready) return false;
  }
  return true;
}

int CRemoteLine::Write(const std::uint8_t* data, int length, int timeoutMs, CWakeSignal& wake) {
  if (!socket_.IsOpen() || hungUp_) return -1;
  if (length <= 0) return 0;
  std::vector<std::uint8_t> out;
  if (telnet_)
    AppendEscaped(data, static_cast<std::size_t>(length), out);
  else
    out.assign(data, data + length);
  const std::uint64_t deadline = TickMs() + static_cast<std::uint64_t>(timeoutMs);
  std::size_t sent = 0;
  while (sent < out.size()) {
    const int n = socket_.Send(out.data() + sent, static_cast<int>(out.size() - sent));
    if (n < 0) {
      hungUp_ = true;
      return -1;
    }
    sent += static_cast<std::size_t>(n);
    if (n > 0) continue;
    const SocketWait w = socket_.Wait(true, MsLeft(deadline), wake);
    if (w == SocketWait::Failed) return -1;
    if (w != SocketWait::Ready) break;
  }
  // Count the data bytes whose whole encoding went out; a doubled 0xFF cut
  // in half is completed, or the stream would carry a stray command.
  int count = 0;
  std::size_t at = 0;
  for (; count < length; ++count) {
    const std::size_t size = telnet_ && data[count] == kIac ? 2 : 1;
    if (at + size > sent) break;
    at += size;
  }
  if (at < sent) {
    if (!SendAll({kIac}, kReplySendMs, neverRaised_)) return -1;
    ++count;
  }
  return count;
}

int CRemoteLine::Read(std::uint8_t* buffer, int capacity) {
  if (!socket_.IsOpen()) return -1;
  if (received_.empty()) Pump();
  if (received_.empty()) return hungUp_ ? -1 : 0;
  const int n = std::min(capacity, static_cast<int>(received_.size()));
  std::copy_n(received_.begin(), n, buffer);
  received_.erase(received_.begin(), received_.begin() + n);
  return n;
}

int CRemoteLine::WaitReadable(int timeoutMs, CWakeSignal& wake) {
  if (!socket_.IsOpen()) return -1;
  const std::uint64_t deadline =
      timeoutMs < 0 ? 0 : TickMs() + static_cast<std::uint64_t>(timeoutMs);
  for (;;) {
    Pump();
    if (!received_.empty()) return 1;
    if (hungUp_) return -1;
    const SocketWait w = socket_.Wait(false, timeoutMs < 0 ? -1 : MsLeft(deadline), wake);
    if (w == SocketWait::Failed) return -1;
    if (w != SocketWait::Ready) return 0;
  }
}

void CRemoteLine::Purge(int bits) {
  if (!socket_.IsOpen()) return;
  if (telnet_ && options_ && options_->Ours(kOptComPort) && (bits & 3) != 0) {
    const std::uint8_t what = (bits & 3) == 3 ? kPurgeBoth : (bits & 1) ? kPurgeReceive : kPurgeTransmit;
    SendAll(ComPortCommand(kPurgeData, {what}), kReplySendMs, neverRaised_);
  }
  if (bits & 1) {
    Pump();  // what is already here was received before the purge
    received_.clear();
  }
}

}  // namespace varnok
