#include "device/SerialLineSettings.h"

namespace varnok {

namespace {
struct BaudEntry {
  unsigned baud;
  speed_t speed;
};
const BaudEntry kBauds[] = {
    {1200, B1200},     {2400, B2400},     {4800, B4800},     {9600, B9600},
    {19200, B19200},   {38400, B38400},   {57600, B57600},   {115200, B115200},
    {230400, B230400}, {460800, B460800}, {921600, B921600},
};
}  // namespace

void ApplyRawLine(termios& tio, char parity, int dataBits, int stopBits) {
  cfmakeraw(&tio);
  tio.c_cflag |= CLOCAL | CREAD;
  tio.c_cflag &= ~static_cast<tcflag_t>(CSIZE | PARENB | PARODD | CSTOPB | CRTSCTS);
  switch (dataBits) {
    case 5: tio.c_cflag |= CS5; break;
    case 6: tio.c_cflag |= CS6; break;
    case 7: tio.c_cflag |= CS7; break;
    default: tio.c_cflag |= CS8; break;
  }
  if (parity == 'E' || parity == 'e') tio.c_cflag |= PARENB;
  if (parity == 'O' || parity == 'o') tio.c_cflag |= PARENB | PARODD;
  if (stopBits == 2) tio.c_cflag |= CSTOPB;
  tio.c_iflag &= ~static_cast<tcflag_t>(IXON | IXOFF | IXANY);
  tio.c_cc[VMIN] = 0;
  tio.c_cc[VTIME] = 0;
}

bool ApplyBaud(termios& tio, unsigned baud) {
  for (const BaudEntry& e : kBauds) {
    if (e.baud == baud) return cfsetispeed(&tio, e.speed) == 0 && cfsetospeed(&tio, e.speed) == 0;
  }
  return false;
}

}  // namespace varnok
