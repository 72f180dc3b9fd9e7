#include "device/PortError.h"

#include <cerrno>
#include <cstring>

namespace varnok {

PortFailure PortFailureFromOsError(int osError) {
  switch (osError) {
    case 0: return PortFailure::None;
    case ENOENT:
    case ENXIO:
    case ENODEV: return PortFailure::NotFound;
    case EACCES:
    case EPERM: return PortFailure::PermissionDenied;
    case EBUSY:
    case EWOULDBLOCK: return PortFailure::Busy;
    case ENOTTY:
    case EINVAL: return PortFailure::NotATerminal;
    case EIO:
    case EPIPE: return PortFailure::Lost;
    default: return PortFailure::Other;
  }
}

std::string OsErrorText(int osError) { return std::strerror(osError); }

int LastOsError() { return errno; }

}  // namespace varnok
