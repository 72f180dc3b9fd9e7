#include "device/TelnetCodec.h"

#include <algorithm>

namespace varnok::telnet {

void CTelnetDecoder::Feed(const std::uint8_t* bytes, std::size_t length,
                          std::vector<std::uint8_t>& data, std::vector<Message>& messages) {
  for (std::size_t i = 0; i < length; ++i) {
    const std::uint8_t b = bytes[i];
    switch (state_) {
      case State::Data:
        if (b == kIac)
          state_ = State::Iac;
        else
          data.push_back(b);
        break;
      case State::Iac:
        if (b == kIac) {
          data.push_back(kIac);
          state_ = State::Data;
        } else if (b == kWill || b == kWont || b == kDo || b == kDont) {
          verb_ = b;
          state_ = State::Negotiation;
        } else if (b == kSb) {
          state_ = State::SubOption;
        } else {
          Message m;
          m.verb = b;
          messages.push_back(std::move(m));
          state_ = State::Data;
        }
        break;
      case State::Negotiation: {
        Message m;
        m.kind = Message::Kind::Negotiation;
        m.verb = verb_;
        m.option = b;
        messages.push_back(std::move(m));
        state_ = State::Data;
        break;
      }
      case State::SubOption:
        sub_ = Message();
        sub_.kind = Message::Kind::Subnegotiation;
        sub_.option = b;
        state_ = State::SubData;
        break;
      case State::SubData:
        if (b == kIac)
          state_ = State::SubIac;
        else if (sub_.payload.size() < kMaxSubnegotiation)
          sub_.payload.push_back(b);
        break;
      case State::SubIac:
        if (b == kSe) {
          messages.push_back(std::move(sub_));
          sub_ = Message();
          state_ = State::Data;
        } else {
          // IAC IAC is a payload 0xFF; any other IAC pair inside a
          // subnegotiation is a broken server's: keep reading to its end.
          if (b == kIac && sub_.payload.size() < kMaxSubnegotiation) sub_.payload.push_back(b);
          state_ = State::SubData;
        }
        break;
    }
  }
}

COptionNegotiation::COptionNegotiation(std::vector<std::uint8_t> ourOptions,
                                       std::vector<std::uint8_t> theirOptions)
    : ourOptions_(std::move(ourOptions)), theirOptions_(std::move(theirOptions)) {
  us_.fill(Side::No);
  them_.fill(Side::No);
}

std::vector<std::uint8_t> COptionNegotiation::Requests() {
  std::vector<std::uint8_t> out;
  for (const std::uint8_t o : ourOptions_) {
    us_[o] = Side::Asked;
    const auto f = Negotiation(kWill, o);
    out.insert(out.end(), f.begin(), f.end());
  }
  for (const std::uint8_t o : theirOptions_) {
    them_[o] = Side::Asked;
    const auto f = Negotiation(kDo, o);
    out.insert(out.end(), f.begin(), f.end());
  }
  return out;
}

void COptionNegotiation::Take(std::uint8_t verb, std::uint8_t option,
                              std::vector<std::uint8_t>& reply) {
  auto answer = [&reply, option](std::uint8_t v) {
    const auto f = Negotiation(v, option);
    reply.insert(reply.end(), f.begin(), f.end());
  };
  auto wanted = [option](const std::vector<std::uint8_t>& list) {
    return std::find(list.begin(), list.end(), option) != list.end();
  };
  const bool positive = verb == kWill || verb == kDo;
  const bool aboutUs = verb == kDo || verb == kDont;
  Side& side = aboutUs ? us_[option] : them_[option];
  const bool accept = wanted(aboutUs ? ourOptions_ : theirOptions_);
  const std::uint8_t yes = aboutUs ? kWill : kDo;
  const std::uint8_t no = aboutUs ? kWont : kDont;
  // An answer goes out only when the option's state changes, so two peers
  // can never echo each other forever.
  if (positive) {
    if (side == Side::Asked) {
      side = Side::Yes;
    } else if (side == Side::No) {
      if (accept) side = Side::Yes;
      answer(accept ? yes : no);
    }
  } else if (side != Side::No) {
    if (side == Side::Yes) answer(no);
    side = Side::No;
  }
}

bool COptionNegotiation::Settled() const {
  for (const std::uint8_t o : ourOptions_)
    if (us_[o] == Side::Asked) return false;
  for (const std::uint8_t o : theirOptions_)
    if (them_[o] == Side::Asked) return false;
  return true;
}

std::vector<std::uint8_t> Negotiation(std::uint8_t verb, std::uint8_t option) {
  return {kIac, verb, option};
}

std::vector<std::uint8_t> ComPortCommand(std::uint8_t command,
                                         const std::vector<std::uint8_t>& value) {
  std::vector<std::uint8_t> out{kIac, kSb, kOptComPort, command};
  AppendEscaped(value.data(), value.size(), out);
  out.push_back(kIac);
  out.push_back(kSe);
  return out;
}

std::vector<std::uint8_t> SetBaudRate(std::uint32_t baud) {
  return ComPortCommand(kSetBaudRate,
                        {static_cast<std::uint8_t>(baud >> 24), static_cast<std::uint8_t>(baud >> 16),
                         static_cast<std::uint8_t>(baud >> 8), static_cast<std::uint8_t>(baud)});
}

void AppendEscaped(const std::uint8_t* data, std::size_t length, std::vector<std::uint8_t>& out) {
  for (std::size_t i = 0; i < length; ++i) {
    out.push_back(data[i]);
    if (data[i] == kIac) out.push_back(kIac);
  }
}

}  // namespace varnok::telnet
