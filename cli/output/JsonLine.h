#pragma once
// One JSON object on one line, built field by field:
//   JsonLine("status").Add("text", s).Add("ok", true).Str()
// gives {"event":"status","text":"...","ok":true}. The output is valid UTF-8:
// strings are decoded as varnok::ValidUtf8 does (a byte that is not part of
// valid UTF-8 stands for its Latin-1 character); control characters, quotes
// and backslashes are escaped.

#include <cstdint>
#include <string>

namespace cli {

class JsonLine {
 public:
  explicit JsonLine(const std::string& event);
  JsonLine& Add(const std::string& key, const std::string& value);
  JsonLine& Add(const std::string& key, const char* value);
  JsonLine& Add(const std::string& key, bool value);
  JsonLine& Add(const std::string& key, int value);
  JsonLine& Add(const std::string& key, std::int64_t value);
  JsonLine& Add(const std::string& key, double value);  // non-finite values give null
  JsonLine& AddNull(const std::string& key);
  // "port": the number of a local port, the URL of one on another machine.
  JsonLine& AddPort(int port);
  // The object text, without a line end.
  std::string Str() const { return body_ + "}"; }

 private:
  void Key(const std::string& key);
  std::string body_;
};

std::string JsonEscape(const std::string& text);

}  // namespace cli
