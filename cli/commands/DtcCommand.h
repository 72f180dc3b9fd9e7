#pragma once
// varnok-cli dtc [--library FILE] PREFIX...
//
// Prints, for each PREFIX in turn, every library row whose code begins with
// it (case ignored), in file order, as CODE<TAB>DESCRIPTION, decoded as the
// DTC page shows it and written as UTF-8 (--json: one "dtc" event per row).
// Exit status: 0 when every prefix matched a row, 3 when one matched none,
// 2 when the library cannot be read (the page's failure text on standard
// error).

#include "cli/CliOptions.h"
#include "cli/output/CliReporter.h"

namespace cli {

int RunDtc(const CliOptions& options, CliReporter& out);

}  // namespace cli
