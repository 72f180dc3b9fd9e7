#include "device/FramedText.h"

#include <cstdio>

#include "device/FrameFormat.h"

namespace framed {

std::string TextOf(const std::uint8_t* data, int n) {
  std::string text;
  for (int i = 0; i < n && data[i] != 0; ++i) text.push_back(static_cast<char>(data[i]));
  return text;
}

std::string NameToken(const std::string& text) { return text.substr(0, text.find('|')); }

void ParseIdStrings(const std::string& text, IdStringRecord& record) {
  static const char* const kNames[frame::kPartitionCount] = {"ID1", "ID2", "ID3",
                                                             "ID4", "ID5", "ID6"};
  // Record slot of each name: the record keeps ID1, ID2, ID5, ID6, ID3, ID4.
  static const int kSlot[frame::kPartitionCount] = {0, 1, 4, 5, 2, 3};

  std::size_t start = 0;
  for (;;) {
    const std::size_t bar = text.find('|', start);
    const std::string token = text.substr(start, bar == std::string::npos ? bar : bar - start);
    for (int k = 0; k < frame::kPartitionCount; ++k) {
      if (token.find(kNames[k]) == std::string::npos) continue;
      const std::size_t dash = token.find('-');
      record.strings[kSlot[k]] = dash == std::string::npos ? token : token.substr(dash + 1);
      break;
    }
    if (bar == std::string::npos) break;
    start = bar + 1;
  }
}

std::string FormatTimeText(const std::tm& time) {
  char text[96];
  std::snprintf(text, sizeof text, "%04d-%02d-%02d-%02d-%02d-%02d", time.tm_year + 1900,
                time.tm_mon + 1, time.tm_mday, time.tm_hour, time.tm_min, time.tm_sec);
  // The request field is fixed: a field out of range must not shift the
  // frame, so the text is cut or padded to its size.
  std::string out(text);
  out.resize(frame::kTimeTextSize, '0');
  return out;
}

}  // namespace framed
