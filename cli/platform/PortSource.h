#pragma once
// Where varnok-cli looks for tool ports, in the words of each platform: the
// device folder's ttyACM/ttyUSB files on POSIX, the USB serial ports that
// the registry lists on Windows. One backend per platform
// (PortSource_posix.cpp, PortSource_win.cpp).

#include <string>

namespace cli {

// `ports` found nothing: one sentence.
std::string NoToolPortsText();

// Which ports a tool is looked for among, for "No tool found (...)".
std::string PortFamiliesText();

// The closing lines of --help: where ports come from and what changes it.
std::string PortSourceHelp();

}  // namespace cli
