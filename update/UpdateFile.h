#pragma once
// Rules of the update files (.bin / .zpk) as the PC reads them. The loader
// itself is CDownloadWorkflow::LoadUpdateFile (DownloadWorkflow.h); these
// are its pieces, pure and separately testable.
//
// Classic tool file: bytes 0..4 are the bitwise NOT of the DevName's
// characters (0xFF after a name shorter than 5); the image follows.
// New tool file (and any file of DevType 13): the whole file is the image;
// its last 64 bytes are a trailer whose first 16 bytes list the accepted
// model names separated by '|' and padded with 0x00.

#include <cstdint>
#include <string>
#include <vector>

namespace updatefile {

constexpr int kClassicHeaderSize = 5;
constexpr int kTrailerSize = 64;
constexpr int kModelListSize = 16;
// Offset from the end of the file of the 4-byte tag the tool's verify checks.
constexpr int kVerifyTagFromEnd = 16;
// Largest file accepted. Larger files are wrong files: no tool flash comes
// near this, and the whole file is held in memory.
constexpr std::int64_t kMaxUpdateFileSize = 64LL * 1024 * 1024;

// The model name a classic header carries: each of the 5 bytes
// complemented, up to the first 0x00.
std::string ClassicHeaderName(const std::uint8_t header[kClassicHeaderSize]);

// The 5 header bytes for `name` (at most 5 characters; 0xFF after it).
std::vector<std::uint8_t> MakeClassicHeader(const std::string& name);

// Pieces of a model list (the 16 trailer bytes, text up to the first 0x00):
// each piece runs to the next '|'; the piece after the last '|' counts only
// when it is not empty. "A||B" gives A, "", B; "A|" gives A.
std::vector<std::string> SplitModelList(const std::uint8_t list[kModelListSize]);

// Whether a model list accepts `expected`: a piece equal to it ignoring
// ASCII case, or a piece exactly "PX540" while `expected` begins with "PX".
bool ModelListAccepts(const std::vector<std::string>& pieces, const std::string& expected);

// Partition selector of a new tool file from its full path (searched
// lower-cased: "manager", "sensor", "diag" anywhere, and the last four
// characters ".bin" / ".zpk"): 2..7, or `callerValue` when no row matches.
int PartitionForNewToolPath(const std::string& path, int callerValue);

// The trailer's 16-byte model list for `models` joined by '|'
// (for building sample files; longer lists are cut at 16 bytes).
std::vector<std::uint8_t> MakeModelList(const std::string& models);

// ASCII lower/upper case of a byte string.
std::string AsciiLower(std::string s);
std::string AsciiUpper(std::string s);

}  // namespace updatefile
