#pragma once
// Why a tool's port cannot be used, worded for the person at the terminal.
// One backend per platform (PortDiagnosis_posix.cpp, PortDiagnosis_win.cpp).

#include <string>

#include "device/PortError.h"

namespace cli {

// Advice for a failed open of `devicePath`; empty when there is none to give.
// Permission denied: the exact command to join the group that owns the
// device (dialout on Debian). Busy: another program holds the port (often
// ModemManager probing a new ttyACM device) and how to stop it.
std::string AdviceForOpenFailure(varnok::PortFailure failure, const std::string& devicePath);

// Opens and closes port `port` once; the advice when that fails for a
// reason the user can fix, else empty. `failure` (may be null) receives
// why the open failed (None when it worked).
std::string ProbePort(int port, varnok::PortFailure* failure = nullptr);

}  // namespace cli
