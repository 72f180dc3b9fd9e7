#include "sim/FaultPlan.h"

#include <cstdlib>

#include "device/FrameFormat.h"

namespace varnok::sim {

namespace {

std::vector<std::string> SplitColons(const std::string& text) {
  std::vector<std::string> parts;
  std::size_t start = 0;
  for (;;) {
    const std::size_t colon = text.find(':', start);
    parts.push_back(text.substr(start, colon - start));
    if (colon == std::string::npos) return parts;
    start = colon + 1;
  }
}

// Whole-string unsigned number in `base`; false for anything else.
bool ParseNumber(std::string text, int base, long max, long& out) {
  if (base == 16 && text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X'))
    text = text.substr(2);
  if (text.empty() || text.size() > 10) return false;
  for (char c : text) {
    const bool digit = c >= '0' && c <= '9';
    const bool hex = (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
    if (!digit && !(base == 16 && hex)) return false;
  }
  char* end = nullptr;
  const long value = std::strtol(text.c_str(), &end, base);
  if (*end != '\0' || value < 0 || value > max) return false;
  out = value;
  return true;
}

bool Fail(std::string* error, const std::string& text, const std::string& why) {
  if (error != nullptr) *error = "bad --fault '" + text + "': " + why;
  return false;
}

struct KindName {
  const char* name;
  FaultKind kind;
};
const KindName kKinds[] = {
    {"refuse", FaultKind::Refuse},   {"drop", FaultKind::Drop},
    {"late", FaultKind::Late},       {"split", FaultKind::Split},
    {"corrupt", FaultKind::Corrupt}, {"wrong-echo", FaultKind::WrongEcho},
};

}  // namespace

bool Fault::Hits(std::uint8_t cmd, unsigned occurrence) const {
  if (cmd != command) return false;
  return onwards ? occurrence >= from : occurrence == from;
}

bool FaultPlan::Add(const std::string& text, std::string* error) {
  const std::vector<std::string> parts = SplitColons(text);
  const std::string& kindText = parts[0];

  if (kindText == "no-name") {
    if (parts.size() != 1) return Fail(error, text, "no-name takes no arguments");
    for (std::uint8_t cmd : {frame::kClassicQueryName, frame::kCmdQueryName}) {
      Fault f;
      f.kind = FaultKind::Drop;
      f.command = cmd;
      faults_.push_back(f);
    }
    return true;
  }

  if (kindText == "unplug-after-block") {
    long block = 0;
    long replug = 0;
    if (parts.size() < 2 || parts.size() > 3 || !ParseNumber(parts[1], 10, 1000000, block) ||
        block < 1)
      return Fail(error, text, "expected unplug-after-block:N[:MS] with N >= 1");
    if (parts.size() == 3 && (!ParseNumber(parts[2], 10, 600000, replug) || replug < 1))
      return Fail(error, text, "the replug delay MS must be a positive number");
    Fault f;
    f.kind = FaultKind::UnplugAfterBlock;
    f.value = static_cast<int>(block);
    f.pauseMs = static_cast<int>(replug);
    faults_.push_back(f);
    return true;
  }

  const KindName* kind = nullptr;
  for (const KindName& k : kKinds)
    if (kindText == k.name) kind = &k;
  if (kind == nullptr) return Fail(error, text, "unknown fault kind '" + kindText + "'");
  if (parts.size() < 2) return Fail(error, text, "the command byte is missing");

  Fault f;
  f.kind = kind->kind;

  // CMD[@N[+]]
  std::string cmdText = parts[1];
  const std::size_t at = cmdText.find('@');
  if (at != std::string::npos) {
    std::string sel = cmdText.substr(at + 1);
    cmdText = cmdText.substr(0, at);
    f.onwards = !sel.empty() && sel.back() == '+';
    if (f.onwards) sel.pop_back();
    long n = 0;
    if (!ParseNumber(sel, 10, 1000000, n) || n < 1)
      return Fail(error, text, "the selector must be @N or @N+ with N >= 1");
    f.from = static_cast<unsigned>(n);
  }
  long cmd = 0;
  if (!ParseNumber(cmdText, 16, 0xFF, cmd))
    return Fail(error, text, "the command must be one hex byte such as 2C");
  f.command = static_cast<std::uint8_t>(cmd);

  const std::size_t args = parts.size() - 2;
  long value = 0;
  switch (f.kind) {
    case FaultKind::Refuse:
      if (args > 1) return Fail(error, text, "expected refuse:CMD[@SEL][:STATUS]");
      if (args == 1) {
        if (!ParseNumber(parts[2], 16, 0xFF, value))
          return Fail(error, text, "the status must be one hex byte");
        f.value = static_cast<int>(value);
        f.hasValue = true;
      }
      break;
    case FaultKind::Drop:
    case FaultKind::WrongEcho:
      if (args != 0) return Fail(error, text, "this fault takes only CMD[@SEL]");
      break;
    case FaultKind::Late:
      if (args != 1 || !ParseNumber(parts[2], 10, 600000, value))
        return Fail(error, text, "expected late:CMD[@SEL]:MS");
      f.value = static_cast<int>(value);
      break;
    case FaultKind::Split: {
      long pause = 50;
      if (args < 1 || args > 2 || !ParseNumber(parts[2], 10, 65535, value) || value < 1 ||
          (args == 2 && !ParseNumber(parts[3], 10, 600000, pause)))
        return Fail(error, text, "expected split:CMD[@SEL]:BYTES[:MS] with BYTES >= 1");
      f.value = static_cast<int>(value);
      f.pauseMs = static_cast<int>(pause);
      break;
    }
    case FaultKind::Corrupt:
      if (args > 1) return Fail(error, text, "expected corrupt:CMD[@SEL][:OFFSET]");
      if (args == 1) {
        if (!ParseNumber(parts[2], 10, 65535, value))
          return Fail(error, text, "the offset must be a decimal number");
        f.value = static_cast<int>(value);
        f.hasValue = true;
      }
      break;
    case FaultKind::UnplugAfterBlock:
      break;
  }
  faults_.push_back(f);
  return true;
}

const Fault* FaultPlan::Find(FaultKind kind, std::uint8_t cmd, unsigned occurrence) const {
  for (const Fault& f : faults_)
    if (f.kind == kind && f.Hits(cmd, occurrence)) return &f;
  return nullptr;
}

const Fault* FaultPlan::Unplug() const {
  for (const Fault& f : faults_)
    if (f.kind == FaultKind::UnplugAfterBlock) return &f;
  return nullptr;
}

}  // namespace varnok::sim
