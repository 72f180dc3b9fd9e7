#pragma once
// Tool ports on other machines, named by URL:
//   rfc2217://HOST:PORT   a serial-over-network server speaking Telnet with
//                         COM-PORT-OPTION (ser2net's telnet(rfc2217) accepter)
//   socket://HOST:PORT    raw TCP: the bytes as they are, no line settings
// HOST is a name, an IPv4 address or [IPv6]; PORT 1..65535.
//
// Everything below the commands knows a port by its number, so a remote
// port gets one too, from kFirstRemotePort on, handed out by
// RemotePortNumber; PortNames.h's functions give its URL as its name and
// path, and the port classes choose the remote line by it when they open.
// The table only grows; any thread may read it.

#include <string>

namespace varnok {

constexpr int kFirstRemotePort = 100001;

enum class RemoteScheme { Rfc2217, Raw };

struct RemoteAddress {
  RemoteScheme scheme = RemoteScheme::Rfc2217;
  std::string host;  // without the brackets of an IPv6 address
  int port = 0;
  std::string Url() const;
};

// True when `text` has the form of a URL ("scheme://...").
bool LooksLikeRemotePort(const std::string& text);

// Parses one of the two forms; false with a reason in `error`.
bool ParseRemoteAddress(const std::string& text, RemoteAddress& address, std::string& error);

// The port number of `address`; the same URL always gets the same number.
int RemotePortNumber(const RemoteAddress& address);

bool IsRemotePort(int port);
// The address of a number RemotePortNumber gave; false for any other.
bool RemotePortAddress(int port, RemoteAddress& address);
// The URL of a remote port; empty for any other number.
std::string RemotePortName(int port);

// What the last open of a remote port had to say although it worked (its
// server keeps its own line settings, say); empty when nothing. The port
// classes note it, the commands tell it.
void NoteRemoteLine(int port, const std::string& notice);
std::string RemoteLineNotice(int port);

}  // namespace varnok
