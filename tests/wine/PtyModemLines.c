/* Preloaded into Wine by the Windows stages: a pseudo-terminal answers
 * TIOCMGET as a USB serial line with its modem lines up (CTS, DSR, DCD).
 *
 * Wine's WaitCommEvent polls the line's modem status and gives up (the
 * wait ends cancelled) when the device has none; a pseudo-terminal has
 * none, so without this every event wait of the port's monitor thread
 * would fail under Wine, while the USB serial drivers of Windows always
 * report them. Every other request, and TIOCMGET on anything but a
 * terminal, goes through unchanged. */
#define _GNU_SOURCE
#include <dlfcn.h>
#include <errno.h>
#include <stdarg.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

int ioctl(int fd, unsigned long request, ...) {
  static int (*real)(int, unsigned long, ...);
  va_list ap;
  void* arg;
  int result;
  if (real == NULL) real = (int (*)(int, unsigned long, ...))dlsym(RTLD_NEXT, "ioctl");
  va_start(ap, request);
  arg = va_arg(ap, void*);
  va_end(ap);
  result = real(fd, request, arg);
  if (result == -1 && request == TIOCMGET && (errno == EINVAL || errno == ENOTTY) && isatty(fd)) {
    *(int*)arg = TIOCM_CTS | TIOCM_DSR | TIOCM_CAR;
    return 0;
  }
  return result;
}
