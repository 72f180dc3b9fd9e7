#include "device/RemotePorts.h"

#include <mutex>
#include <vector>

namespace varnok {

namespace {

const char kRfc2217[] = "rfc2217://";
const char kSocket[] = "socket://";

std::mutex& TableLock() {
  static std::mutex lock;
  return lock;
}

struct Entry {
  RemoteAddress address;
  std::string notice;
};

std::vector<Entry>& Table() {
  static std::vector<Entry> table;
  return table;
}

Entry* Find(int port) {
  std::vector<Entry>& table = Table();
  if (port < kFirstRemotePort || port - kFirstRemotePort >= static_cast<int>(table.size()))
    return nullptr;
  return &table[static_cast<std::size_t>(port - kFirstRemotePort)];
}

bool StartsWith(const std::string& text, const char* prefix) {
  return text.compare(0, std::char_traits<char>::length(prefix), prefix) == 0;
}

}  // namespace

std::string RemoteAddress::Url() const {
  const bool v6 = host.find(':') != std::string::npos;
  return std::string(scheme == RemoteScheme::Rfc2217 ? kRfc2217 : kSocket) +
         (v6 ? "[" + host + "]" : host) + ":" + std::to_string(port);
}

bool LooksLikeRemotePort(const std::string& text) { return text.find("://") != std::string::npos; }

bool ParseRemoteAddress(const std::string& text, RemoteAddress& address, std::string& error) {
  std::string rest;
  if (StartsWith(text, kRfc2217)) {
    address.scheme = RemoteScheme::Rfc2217;
    rest = text.substr(sizeof kRfc2217 - 1);
  } else if (StartsWith(text, kSocket)) {
    address.scheme = RemoteScheme::Raw;
    rest = text.substr(sizeof kSocket - 1);
  } else {
    error = "unknown port '" + text + "': a remote port is rfc2217://HOST:PORT or socket://HOST:PORT";
    return false;
  }
  const std::string form = "'" + text + "' is not HOST:PORT after the scheme";
  std::string host;
  std::string::size_type colon;
  if (!rest.empty() && rest[0] == '[') {
    const auto close = rest.find(']');
    if (close == std::string::npos || close + 1 >= rest.size() || rest[close + 1] != ':') {
      error = form;
      return false;
    }
    host = rest.substr(1, close - 1);
    colon = close + 1;
  } else {
    colon = rest.rfind(':');
    if (colon == std::string::npos) {
      error = form;
      return false;
    }
    host = rest.substr(0, colon);
    if (host.find(':') != std::string::npos) {
      error = "'" + text + "': write an IPv6 address in brackets, [::1]:4000";
      return false;
    }
  }
  const std::string digits = rest.substr(colon + 1);
  const bool hostOk = !host.empty() && host.find_first_of("/@ ?#[]") == std::string::npos;
  const bool digitsOk = !digits.empty() && digits.size() <= 5 &&
                        digits.find_first_not_of("0123456789") == std::string::npos;
  const int port = digitsOk ? std::stoi(digits) : 0;
  if (!hostOk || port < 1 || port > 65535) {
    error = form + " (a host name or address and a TCP port 1 to 65535)";
    return false;
  }
  address.host = host;
  address.port = port;
  return true;
}

int RemotePortNumber(const RemoteAddress& address) {
  std::lock_guard<std::mutex> lock(TableLock());
  std::vector<Entry>& table = Table();
  const std::string url = address.Url();
  for (std::size_t i = 0; i < table.size(); ++i)
    if (table[i].address.Url() == url) return kFirstRemotePort + static_cast<int>(i);
  table.push_back({address, std::string()});
  return kFirstRemotePort + static_cast<int>(table.size() - 1);
}

bool IsRemotePort(int port) {
  RemoteAddress unused;
  return RemotePortAddress(port, unused);
}

bool RemotePortAddress(int port, RemoteAddress& address) {
  std::lock_guard<std::mutex> lock(TableLock());
  const Entry* entry = Find(port);
  if (entry) address = entry->address;
  return entry != nullptr;
}

void NoteRemoteLine(int port, const std::string& notice) {
  std::lock_guard<std::mutex> lock(TableLock());
  if (Entry* entry = Find(port)) entry->notice = notice;
}

std::string RemoteLineNotice(int port) {
  std::lock_guard<std::mutex> lock(TableLock());
  const Entry* entry = Find(port);
  return entry ? entry->notice : std::string();
}

std::string RemotePortName(int port) {
  RemoteAddress address;
  return RemotePortAddress(port, address) ? address.Url() : std::string();
}

}  // namespace varnok
