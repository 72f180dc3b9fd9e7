#pragma once
// Narrow (UTF-8) text to wide text, the same on every platform.

#include <string>

namespace varnok {

// Decodes UTF-8; a byte that does not start a valid sequence stands for the
// code point of the same value (Latin-1), so no input is lost or rejected.
std::wstring WideFromNarrow(const std::string& text);

// The same decoding, written back as UTF-8: valid sequences stay as they
// are, every other byte becomes the UTF-8 form of its Latin-1 code point.
// The result is always valid UTF-8.
std::string ValidUtf8(const std::string& text);

}  // namespace varnok
