#pragma once
// CDtcLibrary: the trouble-code library DtcLookup/OBDII.txt beside the
// program, read once into memory. Qt-free; the DTC page and
// `varnok-cli dtc` both use it.
//
// Line rules (every line becomes one row, in file order):
//   - a line ends at LF; a CR right before the LF is dropped as well; the
//     last line needs no line end; a line end at the very end of the file
//     does not start another row; empty lines are rows too (no skipping);
//   - columns by position: characters 1..5 are the code, character 6 is a
//     separator dropped whatever it is, characters 7.. are the description.
//     A line of up to 5 characters is all code; a 6-character line has an
//     empty description.
//   - a UTF-8 byte-order mark at the very start of the file is dropped;
//   - the text is 8-bit: a line that is valid UTF-8 is cut by UTF-8
//     characters (so a multi-byte separator goes whole), any other line by
//     bytes. Rows keep the file's bytes; decoding is the viewer's job.
//
// Threads: load on one thread; afterwards const use from any thread.

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "tools/TextDecode.h"

namespace dtc {
// Shown (page) or printed (varnok-cli) when the library cannot be opened;
// the full-width exclamation mark U+FF01 ends it, in UTF-8.
inline constexpr char kLibraryOpenFailure[] = "OBDII lib open failure\xEF\xBC\x81";
}  // namespace dtc

struct DtcRow {
  std::string code;
  std::string description;
  bool utf8 = true;  // the whole line is valid UTF-8 (else: legacy code page)
};

class CDtcLibrary {
 public:
  // Where the library lies relative to the program's folder.
  static constexpr const char* kRelativePath = "DtcLookup/OBDII.txt";

  // Reads `path`; false (and no rows) when it cannot be opened or read.
  bool Load(const std::string& path);
  // Replaces the rows with those of `text` (the whole file's bytes).
  void Parse(std::string_view text);
  // One line (without its line end) split into its columns.
  static DtcRow SplitLine(std::string_view line);

  // A column of `row` as UTF-8: as it is for a UTF-8 line, else read in
  // `codePage` (the rule of the tools' text, applied to the whole line).
  static std::string DecodedText(const DtcRow& row, const std::string& column,
                                 LegacyCodePage codePage);

  std::size_t Size() const { return rows_.size(); }
  bool Empty() const { return rows_.empty(); }
  const DtcRow& Row(std::size_t index) const { return rows_[index]; }
  const std::vector<DtcRow>& Rows() const { return rows_; }

  // First row, from the top, whose code begins with `prefix`, ignoring
  // ASCII case; -1 when none. An empty prefix matches row 0 (-1 when the
  // library is empty).
  int FindFirst(std::string_view prefix) const;
  // Every matching row, in file order.
  std::vector<std::size_t> FindAll(std::string_view prefix) const;
  static bool CodeStartsWith(std::string_view code, std::string_view prefix);

 private:
  std::vector<DtcRow> rows_;
};
