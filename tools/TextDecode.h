#pragma once
// Decoding of the bytes a tool sends, for display: a line that is valid
// UTF-8 is shown as UTF-8; any other line is read in the system's legacy
// 8-bit code page (GBK on a Chinese (PRC) system, Windows-1252 elsewhere).
//
// Every byte of the input gives at least one character of the output, in
// order: a byte that the code page cannot read becomes U+FFFD, and the
// five bytes Windows-1252 leaves undefined keep their C1 control code
// points (as the Windows conversion does). Nothing is dropped.
// Qt-free; any thread.

#include <string>

enum class LegacyCodePage {
  Windows1252,  // Western systems
  Gbk,          // Chinese (PRC) systems (code page 936)
};

// The legacy code page of this system: GBK when the system language is
// Chinese (PRC) (Windows: the system default language 0x0804; POSIX: the
// locale named by LC_ALL, LC_CTYPE or LANG starts with "zh_CN"),
// else Windows-1252.
LegacyCodePage SystemLegacyCodePage();

// True when `bytes` is well-formed UTF-8 (no overlong forms, no
// surrogates, nothing above U+10FFFF).
bool IsValidUtf8(const std::string& bytes);

// The text of `bytes` as UTF-8, by the rule above.
std::string DecodeToolText(const std::string& bytes, LegacyCodePage codePage);

// The text of `bytes` read in `codePage` whatever it is, as UTF-8 (for a
// part of a line whose whole was found not to be UTF-8).
std::string DecodeLegacyText(const std::string& bytes, LegacyCodePage codePage);
// The Chinese (PRC) systems' rule for captured text: every byte 0xB0 (the
// degree sign of the Western code page) becomes the GBK pair 0xA1 0xA3.
void ReplaceHighDegreeBytes(std::string& bytes);

// A captured line for display: valid UTF-8 as it is; otherwise, on a GBK
// system, ReplaceHighDegreeBytes first, then DecodeToolText.
std::string DecodeCapturedLine(std::string line, LegacyCodePage codePage);

namespace textdecode {
// One Windows-1252 byte as UTF-8 (appended to `out`).
void AppendWindows1252(unsigned char byte, std::string& out);
// Decodes one GBK character at `p` (`n` bytes available) and appends it as
// UTF-8; returns the bytes used, 0 when `p` does not start a GBK character.
// Platform backend (GbkDecode_posix.cpp, GbkDecode_win.cpp).
std::size_t AppendGbkChar(const unsigned char* p, std::size_t n, std::string& out);
// U+FFFD as UTF-8.
extern const char kReplacement[];
}  // namespace textdecode
