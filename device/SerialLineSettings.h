#pragma once
// termios helpers shared by the POSIX port backends.

#include <termios.h>

namespace varnok {

// Raw mode with the given character format: parity 'N', 'E' or 'O';
// dataBits 5..8; stopBits 1 or 2. Receiver on, modem lines ignored.
void ApplyRawLine(termios& tio, char parity, int dataBits, int stopBits);

// Sets input and output speed; false for a rate termios does not know.
bool ApplyBaud(termios& tio, unsigned baud);

}  // namespace varnok
