#include "device/FilePath.h"
#include "tools/DtcLibrary.h"

#include <algorithm>
#include <fstream>


namespace {

constexpr std::size_t kCodeChars = 5;
constexpr std::size_t kDescriptionFrom = 6;  // after the code and the separator

// Byte offset where character number `chars` (from 0) of a valid UTF-8
// `line` begins; the line's size when it has fewer characters.
std::size_t Utf8CharOffset(std::string_view line, std::size_t chars) {
  std::size_t seen = 0;
  for (std::size_t pos = 0; pos < line.size(); ++pos) {
    const bool lead = (static_cast<unsigned char>(line[pos]) & 0xC0) != 0x80;
    if (lead && seen++ == chars) return pos;
  }
  return line.size();
}

char AsciiUpper(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }

}  // namespace

bool CDtcLibrary::Load(const std::string& path) {
  rows_.clear();
  std::ifstream in(varnok::FilePath(path), std::ios::binary | std::ios::ate);
  if (!in) return false;
  const std::streamoff size = in.tellg();
  if (size < 0) return false;
  std::string text(static_cast<std::size_t>(size), '\0');
  in.seekg(0);
  if (!in.read(text.data(), size)) return false;
  Parse(text);
  return true;
}

void CDtcLibrary::Parse(std::string_view text) {
  rows_.clear();
  // Notepad of older Windows starts a UTF-8 file with a byte-order mark; it
  // marks the encoding and is no part of the first code.
  constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";
  if (text.substr(0, kUtf8Bom.size()) == kUtf8Bom) text.remove_prefix(kUtf8Bom.size());
  rows_.reserve(static_cast<std::size_t>(std::count(text.begin(), text.end(), '\n')) + 1);
  std::size_t start = 0;
  while (start < text.size()) {
    std::size_t end = text.find('\n', start);
    const std::size_t next = end == std::string_view::npos ? text.size() : end + 1;
    if (end == std::string_view::npos) end = text.size();
    else if (end > start && text[end - 1] == '\r') --end;
    rows_.push_back(SplitLine(text.substr(start, end - start)));
    start = next;
  }
}

DtcRow CDtcLibrary::SplitLine(std::string_view line) {
  DtcRow row;
  row.utf8 = IsValidUtf8(std::string(line));
  std::size_t codeEnd = std::min(line.size(), kCodeChars);
  std::size_t descriptionStart = std::min(line.size(), kDescriptionFrom);
  if (row.utf8) {
    codeEnd = Utf8CharOffset(line, kCodeChars);
    descriptionStart = Utf8CharOffset(line, kDescriptionFrom);
  }
  row.code.assign(line.substr(0, codeEnd));
  row.description.assign(line.substr(descriptionStart));
  return row;
}

std::string CDtcLibrary::DecodedText(const DtcRow& row, const std::string& column,
                                     LegacyCodePage codePage) {
  return row.utf8 ? column : DecodeLegacyText(column, codePage);
}

bool CDtcLibrary::CodeStartsWith(std::string_view code, std::string_view prefix) {
  if (prefix.size() > code.size()) return false;
  for (std::size_t i = 0; i < prefix.size(); ++i)
    if (AsciiUpper(code[i]) != AsciiUpper(prefix[i])) return false;
  return true;
}

int CDtcLibrary::FindFirst(std::string_view prefix) const {
  for (std::size_t i = 0; i < rows_.size(); ++i)
    if (CodeStartsWith(rows_[i].code, prefix)) return static_cast<int>(i);
  return -1;
}

std::vector<std::size_t> CDtcLibrary::FindAll(std::string_view prefix) const {
  std::vector<std::size_t> found;
  for (std::size_t i = 0; i < rows_.size(); ++i)
    if (CodeStartsWith(rows_[i].code, prefix)) found.push_back(i);
  return found;
}
