#include "sim/SimOptions.h"

#include <cstdlib>
#include <functional>
#include <map>

#include "device/FrameFormat.h"
#include "device/PortNames.h"

namespace varnok::sim {

namespace {

bool ParseUnsigned(const std::string& text, unsigned long long max, unsigned long long& out) {
  if (text.empty()) return false;
  int base = 10;
  std::string digits = text;
  if (digits.size() > 2 && digits[0] == '0' && (digits[1] == 'x' || digits[1] == 'X')) {
    base = 16;
    digits = digits.substr(2);
  }
  if (digits.empty() || digits[0] == '-' || digits[0] == '+') return false;
  char* end = nullptr;
  const unsigned long long value = std::strtoull(digits.c_str(), &end, base);
  if (*end != '\0' || value > max) return false;
  out = value;
  return true;
}

bool ParseMs(const std::string& text, int& out) {
  unsigned long long v = 0;
  if (!ParseUnsigned(text, 3600000, v)) return false;
  out = static_cast<int>(v);
  return true;
}

// "ttyACM3", "ttyUSB0" or a port number (4 -> ttyACM3, 201 -> ttyUSB0).
bool ParseLinkName(const std::string& text, std::string& out) {
  unsigned long long number = 0;
  const int port = ParseUnsigned(text, 100000, number) ? static_cast<int>(number)
                                                       : varnok::PortNumberFromName(text);
  if (text.find('/') != std::string::npos) return false;
  const std::string name = varnok::PortDisplayName(port);
  if (name.empty()) return false;
  out = name;
  return true;
}

bool ParsePartitions(const std::string& text, std::uint32_t bases[6]) {
  std::uint32_t parsed[6];
  std::size_t start = 0;
  for (int k = 0; k < 6; ++k) {
    const std::size_t comma = text.find(',', start);
    if ((k < 5) == (comma == std::string::npos)) return false;
    unsigned long long v = 0;
    if (!ParseUnsigned(text.substr(start, comma - start), 0xFFFFFFFFull, v)) return false;
    parsed[k] = static_cast<std::uint32_t>(v);
    start = comma + 1;
  }
  std::copy(parsed, parsed + 6, bases);
  return true;
}

}  // namespace

std::string DefaultName(ToolClass toolClass) {
  switch (toolClass) {
    case ToolClass::Classic:
      return "QV110";
    case ToolClass::Programmer:
      return "OMNIX|1";
    case ToolClass::New:
      break;
  }
  return "QV120|1";
}

std::string SimOptions::ReportedName(bool inLoader) const {
  if (inLoader && !loaderName.empty()) return loaderName;
  return name.empty() ? DefaultName(toolClass) : name;
}

std::string SimOptions::LinkPath() const {
  std::string dir = devDir;
  if (dir.empty()) dir = varnok::PortDeviceDir();
  return dir + "/" + linkName;
}

ParseResult ParseSimArgs(int argc, const char* const* argv, SimOptions& o, std::string& error) {
  using Handler = std::function<bool(const std::string&)>;
  // A text option that must not be empty.
  const auto text = [](std::string& field) -> Handler {
    return [&field](const std::string& v) {
      field = v;
      return !v.empty();
    };
  };
  // Options that take a value.
  const std::map<std::string, Handler> valued = {
      {"--class",
       [&](const std::string& v) {
         if (v == "classic")
           o.toolClass = ToolClass::Classic;
         else if (v == "new")
           o.toolClass = ToolClass::New;
         else if (v == "programmer")
           o.toolClass = ToolClass::Programmer;
         else
           return false;
         return true;
       }},
      {"--name", text(o.name)},
      {"--loader-name", text(o.loaderName)},
      {"--start-in",
       [&](const std::string& v) {
         if (v == "loader")
           o.startIn = StartState::Loader;
         else if (v == "app")
           o.startIn = StartState::App;
         else
           return false;
         return true;
       }},
      {"--port", [&](const std::string& v) { return ParseLinkName(v, o.linkName); }},
      {"--dev-dir", text(o.devDir)},
      {"--partitions", [&](const std::string& v) { return ParsePartitions(v, o.partitionBases); }},
      {"--region-size",
       [&](const std::string& v) {
         unsigned long long n = 0;
         if (!ParseUnsigned(v, 0xFFFFFFFFull, n) || n == 0) return false;
         o.regionSize = static_cast<std::uint32_t>(n);
         return true;
       }},
      {"--id-strings",
       [&](const std::string& v) {
         o.idStrings = v;
         return v.size() <= 255;
       }},
      {"--device-info",
       [&](const std::string& v) {
         o.deviceInfo = v;
         return v.size() <= frame::kMaxPayload - 2;
       }},
      {"--flash-out", text(o.flashOut)},
      {"--ready-file", text(o.readyFile)},
      {"--replay", text(o.replayFile)},
      {"--pace",
       [&](const std::string& v) {
         unsigned long long n = 0;
         if (!ParseUnsigned(v, 4000000, n) || n < 300) return false;
         o.paceBaud = static_cast<unsigned>(n);
         return true;
       }},
      {"--block-ms", [&](const std::string& v) { return ParseMs(v, o.blockMs); }},
      {"--erase-ms", [&](const std::string& v) { return ParseMs(v, o.eraseMs); }},
      {"--reboot-ms", [&](const std::string& v) { return ParseMs(v, o.rebootMs); }},
      {"--restart-ms", [&](const std::string& v) { return ParseMs(v, o.restartMs); }},
      {"--sync-window-ms", [&](const std::string& v) { return ParseMs(v, o.syncWindowMs); }},
      {"--fault", [&](const std::string& v) { return o.faults.Add(v, &error); }},
      {"--data-file", text(o.dataFile)},
      {"--data-baud",
       [&](const std::string& v) {
         unsigned long long n = 0;
         if (!ParseUnsigned(v, 4000000, n) || (n != 0 && n < 300)) return false;
         o.dataBaud = static_cast<unsigned>(n);
         return true;
       }},
  };
  const std::map<std::string, bool*> flags = {
      {"--exit-after-finish", &o.exitAfterFinish},
      {"--data-loop", &o.dataLoop},
      {"--data-raw", &o.dataRaw},
      {"--verbose", &o.verbose},
      {"--fast", &o.replayFast},
      {"--loose", &o.replayLoose},
      {"-v", &o.verbose},
  };

  for (int i = 1; i < argc; ++i) {
    std::string arg = argv[i];
    if (arg == "--help" || arg == "-h") return ParseResult::Help;
    std::string value;
    bool hasInlineValue = false;
    const std::size_t eq = arg.find('=');
    if (arg.rfind("--", 0) == 0 && eq != std::string::npos) {
      value = arg.substr(eq + 1);
      arg = arg.substr(0, eq);
      hasInlineValue = true;
    }
    if (const auto flag = flags.find(arg); flag != flags.end()) {
      if (hasInlineValue) {
        error = arg + " takes no value";
        return ParseResult::Error;
      }
      *flag->second = true;
      continue;
    }
    const auto handler = valued.find(arg);
    if (handler == valued.end()) {
      error = "unknown option '" + arg + "' (see --help)";
      return ParseResult::Error;
    }
    if (!hasInlineValue) {
      if (i + 1 >= argc) {
        error = arg + " needs a value";
        return ParseResult::Error;
      }
      value = argv[++i];
    }
    error.clear();
    if (!handler->second(value)) {
      if (error.empty()) error = "bad value '" + value + "' for " + arg + " (see --help)";
      return ParseResult::Error;
    }
  }

  if (o.toolClass == ToolClass::Classic) {
    // The classic name reply is at most 5 raw bytes; a longer one would
    // leave bytes behind that the next command would read as its reply.
    if (o.ReportedName(false).size() > static_cast<std::size_t>(frame::kClassicNameReplyMax)) {
      error = "a classic tool's name has at most 5 characters";
      return ParseResult::Error;
    }
  } else if (o.ReportedName(false).size() > 31 || o.ReportedName(true).size() > 31) {
    // The PC reads names into a 32-byte buffer it keeps terminated.
    error = "a framed tool's name has at most 31 characters";
    return ParseResult::Error;
  }
  return ParseResult::Run;
}

std::string SimHelpText() {
  return R"(Usage: varnok-toolsim [OPTIONS]

Plays one scan tool on a pseudo-terminal for Varnok: the tool's serial line
appears as a link ttyACM<k> (or ttyUSB<k>) in a device folder, and the tool
answers the update protocol of its class: identification, loader, partition
table, erase, block writes into a simulated flash, verify and restart.
Ends on SIGINT/SIGTERM (or as --exit-after-finish says) and removes the link.

Tool:
  --class classic|new|programmer  protocol family (default new)
  --name NAME            model name the tool reports; new tools as "QV120|1"
                         (the name up to "|"), classic tools at most 5 raw
                         characters. Default: classic QV110, new QV120|1,
                         programmer OMNIX|1
  --loader-name NAME     name reported while in the loader (default --name)
  --start-in loader|app  framed tools: state at power-up (default loader).
                         In the app, erase/write/verify/finish are refused
                         (status 06) until RebootToLoader (30) or a
                         SyncLoader (10) right after RestartDevice (21)
  --partitions B1,B2,B3,B4,B5,B6
                         base addresses of partitions ID1..ID6 (hex with 0x
                         or decimal). Default 0x08040000 and then every
                         0x80000 up to 0x082C0000
  --region-size BYTES    size of an erased region that no higher partition
                         bounds (default 0x200000)
  --id-strings TEXT      reply to ReadIdStrings (13)
  --device-info TEXT     reply to ReadDeviceInfo (12)

Line:
  --port NAME|NUMBER     ttyACM<k>, ttyUSB<k>, or a port number (k+1 for
                         ttyACM<k>, k+201 for ttyUSB<k>). Default ttyACM0
  --dev-dir DIR          folder for the link (default $VARNOK_DEV_DIR, else /dev)
  --pace BAUD            emulate an 8N1 line at BAUD: every byte costs 10 bit
                         times, in both directions. Default: no pacing
  --block-ms MS          flash time of every written block (default 0)
  --erase-ms MS          flash time of an erase (default 0)
  --reboot-ms MS         RebootToLoader: the line is gone this long, then the
                         tool comes back in its loader on a new pty under the
                         same link (default 300)
  --restart-ms MS        RestartDevice: the tool hears nothing this long
                         (default 50) ...
  --sync-window-ms MS    ... then a SyncLoader within MS keeps it in its
                         loader; otherwise it runs its app (default 1500)

Output:
  --flash-out FILE       at the end, write the written image (from the start
                         of the erased region up to the highest byte written)
  --ready-file FILE      write the link path into FILE once the line is up
  --replay FILE          play the tool's side of a wire trace (varnok-cli
                         --trace): wait for every recorded request byte for
                         byte, answer with the recorded reply after the
                         recorded delay, play hang-ups; the first byte that
                         differs stops the replay (exit status 3)
  --fast                 with --replay: answer at once
  --loose                with --replay: a block whose payload differs passes
                         when its frame has the recorded shape
  --exit-after-finish    end once the update is over: classic after C3, new
                         after FinishUpdate (2D), programmer after the
                         RestartDevice (21) that follows FinishUpdate; data
                         mode after the last line
  -v, --verbose          log requests and replies to standard output
  -h, --help             show this text

Faults (--fault FAULT, repeatable):
  no-name                      never answer the name query (C9 / 11)
  refuse:CMD[@SEL][:STATUS]    refuse, do not carry out. Framed: status STATUS
                               (hex, default 01); classic: B4 96 STATUS
                               (default EF)
  drop:CMD[@SEL]               carry out, send no reply
  late:CMD[@SEL]:MS            reply MS milliseconds late
  split:CMD[@SEL]:BYTES[:MS]   reply in two pieces: BYTES bytes, a pause of
                               MS (default 50), the rest
  corrupt:CMD[@SEL][:OFFSET]   invert the reply byte at OFFSET (default 0)
  wrong-echo:CMD[@SEL]         framed: wrong command echo; classic: wrong code
  unplug-after-block:N[:MS]    after acknowledging the Nth written block the
                               line goes away; with MS it comes back after MS
                               milliseconds (state kept), else the simulator
                               ends
  CMD is the request's command byte in hex (2C, C1, 0x11). SEL: @N hits only
  the Nth request of CMD (retries count), @N+ the Nth and all later ones;
  none: every request. Classic C1: refuse hits the block header, the other
  kinds the reply to the data packet.
  Examples: --fault refuse:2A:05   --fault drop:2C@3   --fault late:11@1:1500

Data mode:
  --data-file FILE       instead of a protocol, send the lines of FILE (each
                         ended by CR LF) once the port is opened
  --data-baud BAUD       pacing of the data mode (default 57600; 0 unpaced)
  --data-loop            start over at the end of the file
  --data-raw             send the file's bytes unchanged (line ends as they
                         are, a last line without a line feed stays so)

Refusal codes the tool uses: 01 unknown command, 02 frame checksum wrong,
03 block checksum wrong, 04 address outside the erased region, 05 verify tag
differs, 06 not in the loader, 07 malformed request; classic: B4 96 EF.
Exit status: 0 ended normally, 1 the line could not be set up, 2 bad usage.
)";
}

}  // namespace varnok::sim
