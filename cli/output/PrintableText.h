#pragma once
// Text from files, records, tools and libraries as it may reach a terminal:
// control characters (NUL, ESC, CR, DEL, ...) become visible escapes
// ("\x1b"), so that no byte of such text moves the cursor, clears the
// screen or cuts a line short. Bytes from 0x80 up (UTF-8) stay as they are.

#include <string>

namespace cli {

// Escapes every control character of `text`; `keepLayout` keeps tab and
// line feed (for whole output lines whose fields were escaped already).
std::string PrintableText(const std::string& text, bool keepLayout = false);

}  // namespace cli
