#pragma once
// Texts carried by framed replies and requests: the tool's name token, the
// "IDk-value" strings and the time text of SetDeviceTime.

#include <cstdint>
#include <ctime>
#include <string>

#include "device/UsbDevInterface.h"

namespace framed {

// The bytes [data, data + n) as text, cut at the first zero byte.
std::string TextOf(const std::uint8_t* data, int n);

// The tool's name: `text` up to the first "|" (all of it when there is none).
std::string NameToken(const std::string& text);

// Fills `record` from tokens separated by "|". In each token the first of
// "ID1".."ID6" that it contains picks a string (record order ID1, ID2, ID5,
// ID6, ID3, ID4), which receives the token's part after its first "-" (the
// whole token when it has none). Tokens naming none are skipped; strings no
// token names keep their value.
void ParseIdStrings(const std::string& text, IdStringRecord& record);

// "YYYY-MM-DD-hh-mm-ss" of a broken-down local time: exactly
// frame::kTimeTextSize characters.
std::string FormatTimeText(const std::tm& time);

}  // namespace framed
