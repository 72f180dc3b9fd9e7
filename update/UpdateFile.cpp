#include "update/UpdateFile.h"

#include <cstring>

namespace updatefile {

namespace {

bool EndsWith(const std::string& s, const char* suffix) {
  const std::size_t n = std::strlen(suffix);
  return s.size() >= n && s.compare(s.size() - n, n, suffix) == 0;
}

bool EqualIgnoringCase(const std::string& a, const std::string& b) {
  return AsciiLower(a) == AsciiLower(b);
}

}  // namespace

std::string AsciiLower(std::string s) {
  for (char& c : s) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return s;
}

std::string AsciiUpper(std::string s) {
  for (char& c : s) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  }
  return s;
}

std::string ClassicHeaderName(const std::uint8_t header[kClassicHeaderSize]) {
  std::string name;
  for (int i = 0; i < kClassicHeaderSize; ++i) {
    const char c = static_cast<char>(static_cast<std::uint8_t>(~header[i]));
    if (c == '\0') break;
    name.push_back(c);
  }
  return name;
}

std::vector<std::uint8_t> MakeClassicHeader(const std::string& name) {
  std::vector<std::uint8_t> header(kClassicHeaderSize, 0xFF);
  for (std::size_t i = 0; i < name.size() && i < header.size(); ++i) {
    header[i] = static_cast<std::uint8_t>(~static_cast<std::uint8_t>(name[i]));
  }
  return header;
}

std::vector<std::string> SplitModelList(const std::uint8_t list[kModelListSize]) {
  std::string text;
  for (int i = 0; i < kModelListSize && list[i] != 0; ++i) {
    text.push_back(static_cast<char>(list[i]));
  }
  std::vector<std::string> pieces;
  std::size_t start = 0;
  for (std::size_t bar = text.find('|'); bar != std::string::npos;
       bar = text.find('|', start)) {
    pieces.push_back(text.substr(start, bar - start));
    start = bar + 1;
  }
  if (start < text.size()) pieces.push_back(text.substr(start));
  return pieces;
}

bool ModelListAccepts(const std::vector<std::string>& pieces, const std::string& expected) {
  for (const std::string& piece : pieces) {
    if (EqualIgnoringCase(piece, expected)) return true;
    if (piece == "PX540" && expected.compare(0, 2, "PX") == 0) return true;
  }
  return false;
}

int PartitionForNewToolPath(const std::string& path, int callerValue) {
  struct Row {
    const char* word;
    const char* extension;
    int selector;
  };
  static const Row kRows[] = {
      {"manager", ".bin", 2}, {"manager", ".zpk", 3}, {"sensor", ".bin", 4},
      {"sensor", ".zpk", 5},  {"diag", ".bin", 6},    {"diag", ".zpk", 7},
  };
  const std::string lower = AsciiLower(path);
  for (const Row& row : kRows) {
    if (lower.find(row.word) != std::string::npos && EndsWith(lower, row.extension)) {
      return row.selector;
    }
  }
  return callerValue;
}

std::vector<std::uint8_t> MakeModelList(const std::string& models) {
  std::vector<std::uint8_t> list(kModelListSize, 0);
  for (std::size_t i = 0; i < models.size() && i < list.size(); ++i) {
    list[i] = static_cast<std::uint8_t>(models[i]);
  }
  return list;
}

}  // namespace updatefile
