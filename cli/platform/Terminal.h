#pragma once
// The standard streams as the command-line tool sees them. One backend per
// platform (Terminal_posix.cpp, Terminal_win.cpp).

namespace cli {

// Whether standard output is a terminal (live progress bar) or not (plain lines).
bool StdoutIsTerminal();
// Columns of the terminal on standard output; 80 when unknown.
int TerminalWidth();

}  // namespace cli
