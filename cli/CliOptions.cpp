#include "cli/CliOptions.h"

#include <vector>

#include "cli/BenchOptions.h"
#include "cli/commands/CaptureCommand.h"
#include "cli/ExitCodes.h"
#include "cli/platform/PortSource.h"

namespace cli {

namespace {

constexpr unsigned Takes(Command c) { return 1u << static_cast<unsigned>(c); }
constexpr unsigned kEveryCommand = ~0u;
constexpr unsigned kToolCommands =
    Takes(Command::Identify) | Takes(Command::Update) | Takes(Command::Capture);

// Which commands take which option: one row per option (by its long name).
// An option given to a command outside its row is a usage error.
struct OptionRow {
  const char* name;
  unsigned commands;
};
constexpr OptionRow kOptionTable[] = {
    {"--json", kEveryCommand},
    {"--verbose", kEveryCommand},
    {"--config", kEveryCommand},  // a global option, as --help shows it
    {"--model", Takes(Command::Identify) | Takes(Command::Update)},
    {"--port", kToolCommands},
    {"--wait", kToolCommands},
    {"--all", Takes(Command::Update)},
    {"--count", Takes(Command::Update)},
    {"--dry-run", Takes(Command::Update)},
    {"--last", Takes(Command::History)},
    {"--library", Takes(Command::Dtc)},
    {"--output", Takes(Command::Capture)},
    {"--lines", Takes(Command::Capture)},
    {"--seconds", Takes(Command::Capture)},
    {"--timestamps", Takes(Command::Capture)},
    {"--trace", Takes(Command::Update) | Takes(Command::Capture)},
};

const OptionRow* FindOptionRow(const std::string& name) {
  for (const OptionRow& row : kOptionTable) {
    if (name == row.name) return &row;
  }
  return nullptr;
}

// The long name of a short option.
std::string LongName(const std::string& arg) {
  if (arg == "-m") return "--model";
  if (arg == "-c") return "--config";
  if (arg == "-p") return "--port";
  return arg;
}

}  // namespace

bool ParseCliArgs(int argc, const char* const* argv, CliOptions& o, std::string& error) {
  std::vector<std::string> positional;
  std::vector<const OptionRow*> given;
  for (int i = 1; i < argc; ++i) {
    std::string arg = argv[i];
    std::string value;
    bool hasValue = false;
    const std::string::size_type eq = arg.find('=');
    if (arg.rfind("--", 0) == 0 && eq != std::string::npos) {
      value = arg.substr(eq + 1);
      arg.erase(eq);
      hasValue = true;
    }
    if (const OptionRow* row = FindOptionRow(LongName(arg))) given.push_back(row);
    auto takeValue = [&](std::string& into) {
      if (!hasValue) {
        if (i + 1 >= argc) {
          error = arg + " needs a value";
          return false;
        }
        value = argv[++i];
      }
      if (value.empty()) {
        error = arg + " needs a value";
        return false;
      }
      into = value;
      return true;
    };
    if (arg == "-h" || arg == "--help") {
      o.command = Command::Help;
      return true;
    }
    if (arg == "--version") {
      o.command = Command::Version;
      return true;
    }
    if (ParseBenchOption(arg, hasValue, value, [&](std::string& into) { return takeValue(into); },
                         o, error)) {
      if (!error.empty()) return false;
    } else if (arg == "--json" || arg == "--verbose") {
      if (hasValue) {
        error = arg + " takes no value";
        return false;
      }
      (arg == "--json" ? o.json : o.verbose) = true;
    } else if (arg == "--model" || arg == "-m") {
      if (!takeValue(o.model)) return false;
    } else if (arg == "--config" || arg == "-c") {
      if (!takeValue(o.configPath)) return false;
    } else if (arg == "--library") {
      if (!takeValue(o.libraryPath)) return false;
    } else if (arg == "--trace") {
      if (!takeValue(o.tracePath)) return false;
    } else if (const int taken =
                   ParseCaptureOption(arg, hasValue, value, i, argc, argv, o.capture, error)) {
      if (taken < 0) return false;
    } else if (arg == "--") {
      for (++i; i < argc; ++i) positional.push_back(argv[i]);
    } else if (arg.size() > 1 && arg[0] == '-') {
      error = "unknown option " + arg;
      return false;
    } else {
      positional.push_back(argv[i]);
    }
  }
  if (positional.empty()) {
    error = "no command given";
    return false;
  }
  const std::string command = positional.front();
  positional.erase(positional.begin());
  if (command == "ports") o.command = Command::Ports;
  else if (command == "models") o.command = Command::Models;
  else if (command == "identify") o.command = Command::Identify;
  else if (command == "update") o.command = Command::Update;
  else if (command == "dtc") o.command = Command::Dtc;
  else if (command == "info") o.command = Command::Info;
  else if (command == "history") o.command = Command::History;
  else if (command == "capture") o.command = Command::Capture;
  else if (command == "trace") o.command = Command::Trace;
  else if (command == "help") {
    o.command = Command::Help;
    return true;
  } else {
    error = "unknown command " + command;
    return false;
  }

  for (const OptionRow* row : given) {
    if ((row->commands & Takes(o.command)) == 0) {
      error = command + " does not take " + row->name;
      return false;
    }
  }
  const bool needsModel = o.command == Command::Identify || o.command == Command::Update;
  if (needsModel && o.model.empty()) {
    error = command + " needs --model M";
    return false;
  }
  if (!CheckBenchOptions(o, command, error)) return false;
  if (o.command == Command::Update || o.command == Command::Info) {
    if (positional.size() != 1) {
      error = command + " needs exactly one UPDATE-FILE";
      return false;
    }
    o.updateFile = positional.front();
  } else if (o.command == Command::Trace) {
    if (positional.size() != 1) {
      error = "trace needs exactly one TRACE-FILE";
      return false;
    }
    o.traceFile = positional.front();
  } else if (o.command == Command::Dtc) {
    if (positional.empty()) {
      error = "dtc needs at least one PREFIX";
      return false;
    }
    o.prefixes = positional;
  } else if (!positional.empty()) {
    error = "unexpected argument " + positional.front();
    return false;
  }
  return true;
}

std::string CliHelpText() {
  return
      "Usage: varnok-cli [--config FILE] [--json] [--verbose] COMMAND\n"
      "\n"
      "Firmware updater for Varnok scan tools on USB serial ports.\n"
      "\n"
      "Commands:\n"
      "  ports                   list the tool ports found, in scan order: port number,\n"
      "                          device path and, where the system tells them, USB\n"
      "                          vendor:product id, product name and serial number\n"
      "  models                  list the models of the configuration\n"
      "  identify --model M      check whether the connected tool is model M, by the\n"
      "                          rules of the product page that serves M\n"
      "  update --model M FILE   update the connected tool of model M with FILE, as the\n"
      "                          Update button of M's product page does: a path\n"
      "                          containing .BIN (any case) goes the .bin way, else the\n"
      "                          .zpk way where the page has one\n"
      "  dtc [--library FILE] PREFIX...\n"
      "                          print every trouble code of the library that begins\n"
      "                          with a PREFIX (case ignored), in file order, as\n"
      "                          CODE<TAB>DESCRIPTION; default library:\n"
      "                          DtcLookup/OBDII.txt beside the program\n"
      "  update --all ...        update every connected tool of model M at once\n"
      "  update --dry-run ...    make every check of the update, write nothing\n"
      "  info FILE               what an update file is and which models it fits\n"
      "  history [--last N]      the record of updates (updates.log) as a table\n"
      "  trace FILE [--json]     read a wire trace (--trace) as frames: time,\n"
      "                          direction, the decoded frame, retries and time-outs,\n"
      "                          and a summary; --json: the frames as JSON Lines\n"
      "  capture [--output FILE] [--lines N] [--seconds S] [--timestamps]\n"
      "                          write what the tool sends in data mode (57600 8N1)\n"
      "                          unchanged to FILE or standard output, flushed at every\n"
      "                          line feed, until N lines, S seconds, Ctrl-C or the\n"
      "                          port goes away; --timestamps puts [HH:MM:SS.mmm] (the\n"
      "                          local time of its first byte) before every line\n"
      "\n"
      "M is the product code (1), the model name the tool reports (QV120) or the\n"
      "display name (ShowName).\n"
      "\n"
      "Options:\n"
      "  -m, --model M           the model (identify, update)\n"
      "  -c, --config FILE       device list to use instead of device.xml beside the program\n"
      "      --json              one JSON object per line on standard output: events\n"
      "                          model, port, status (text, ok, colour), progress (bytes,\n"
      "                          total, percent, elapsed_s, rate_bps, eta_s), message,\n"
      "                          result (result, ok, exit, text)\n"
      "      --verbose           also print the debug traces\n"
      "  -p, --port P            use only port P: its number as 'ports' lists it, its\n"
      "                          device path, or a tool on another machine:\n"
      "                          rfc2217://HOST:PORT (a ser2net telnet(rfc2217) port)\n"
      "                          or socket://HOST:PORT (raw TCP, no line settings);\n"
      "                          HOST a name, an IPv4 address or [IPv6]. With update\n"
      "                          --all, give it once per tool (identify, update, capture)\n"
      "      --wait[=S]          wait up to S seconds (default 60) for a tool to be\n"
      "                          connected instead of failing at once\n"
      "      --all               update: every connected tool of the model, in parallel\n"
      "      --count N           with --all --wait: wait for N tools, then update them\n"
      "      --dry-run           update: stop before anything is erased or written\n"
      "      --last N            history: only the N latest records\n"
      "      --trace FILE        update, capture: record every byte of the run, with\n"
      "                          its time, as JSON Lines into FILE (with --all: a\n"
      "                          folder, one file portN.jsonl per tool)\n"
      "  -h, --help              this text\n"
      "      --version           program version\n"
      "\n"
      "Output: every status text on its own line as the updater words it (failures on\n"
      "standard error); a live progress bar on a terminal, a plain line every 10%\n"
      "otherwise. Ctrl-C cancels the update as the Cancel button does.\n"
      "Options a command does not take are refused (exit 2).\n"
      "\n"
      "Exit status:\n"
      "  0  success: \"Update done!\" (update), every tool of --all updated (or checked\n"
      "     with --dry-run), the tool is model M (identify), every PREFIX matched a\n"
      "     code (dtc), the listing printed\n"
      "  1  internal error, or the update record cannot be read (history)\n"
      "  2  bad usage (also an option the command does not take), unknown model,\n"
      "     unreadable configuration or DTC library, a capture file that cannot be\n"
      "     opened\n"
      "  3  nothing written: no tool, no access to its port, a busy port, a tool that\n"
      "     does not tell its model, wrong tool, wrong file, fewer tools than --count,\n"
      "     or a failure before the erase began (the tool still runs its old\n"
      "     firmware); dtc: a PREFIX matched no code; info: the file fits no model\n"
      "  4  failure after the erase began: the tool needs another update before use\n"
      "     (also a cancel after the erase began)\n"
      "  5  cancelled before the erase began: Ctrl-C, SIGTERM, SIGHUP, SIGPIPE or a\n"
      "     reader of the output that went away (a second Ctrl-C changes nothing)\n"
      "  6  capture: the tool's port went away (what came is written)\n"
      "  7  output lost: the rest was done, but standard output, the capture file or\n"
      "     the update record could not be written whole (disk full, closed pipe);\n"
      "     capture says how many bytes reached the file\n"
      "\n" + PortSourceHelp();
}

}  // namespace cli
