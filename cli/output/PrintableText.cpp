#include "cli/output/PrintableText.h"

#include <cstdio>

namespace cli {

std::string PrintableText(const std::string& text, bool keepLayout) {
  std::string shown;
  shown.reserve(text.size());
  for (const char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    const bool control = byte < 0x20 || byte == 0x7F;
    if (!control || (keepLayout && (c == '\t' || c == '\n'))) {
      shown.push_back(c);
      continue;
    }
    char escaped[8];
    std::snprintf(escaped, sizeof escaped, "\\x%02x", byte);
    shown += escaped;
  }
  return shown;
}

}  // namespace cli
