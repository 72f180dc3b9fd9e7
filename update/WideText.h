#pragma once
// Narrow (UTF-8) text to wide text, the same on every platform.

#include <string>

namespace varnok {

// Decodes UTF-8; a byte that does not start a valid sequence stands for the
// code point of the same value (Latin-1), so no input is lost or rejected.
std::wstring WideFromNarrow(const std::string& text);

}  // namespace varnok
