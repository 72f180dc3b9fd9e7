// varnok-cli info FILE: what an update file is, without a tool.
#include <cstdio>
#include <fstream>
#include <vector>

#include "cli/commands/Commands.h"
#include "cli/ExitCodes.h"
#include "cli/output/JsonLine.h"
#include "cli/output/PrintableText.h"
#include "cli/run/UpdateSteps.h"
#include "device/FilePath.h"
#include "device/ProductFactory.h"
#include "update/ConfigHelper.h"
#include "update/Sha256.h"
#include "update/UpdateFile.h"

namespace cli {

namespace {

// What the PC reads of a file: its size, the classic header and the trailer.
struct FileFacts {
  std::int64_t size = 0;
  std::string sha256;
  bool hasHeader = false;  // at least 5 bytes
  std::string headerName;
  bool hasTrailer = false;  // at least 64 bytes
  std::string modelList;
  std::vector<std::string> pieces;
  std::string verifyTag;  // 8 hex digits, file order
};

bool ReadFacts(const std::string& path, FileFacts& facts) {
  if (!varnok::Sha256OfFile(path, facts.sha256, facts.size)) return false;
  std::ifstream file(varnok::FilePath(path), std::ios::binary);
  std::uint8_t header[updatefile::kClassicHeaderSize] = {};
  if (facts.size >= updatefile::kClassicHeaderSize &&
      file.read(reinterpret_cast<char*>(header), sizeof header)) {
    facts.hasHeader = true;
    facts.headerName = updatefile::ClassicHeaderName(header);
  }
  if (facts.size < updatefile::kTrailerSize) return true;
  std::uint8_t trailer[updatefile::kTrailerSize] = {};
  file.clear();
  file.seekg(facts.size - updatefile::kTrailerSize);
  if (!file.read(reinterpret_cast<char*>(trailer), sizeof trailer)) return true;
  facts.pieces = updatefile::SplitModelList(trailer);
  // Only printable text is a model list; other bytes are image data.
  facts.hasTrailer = !facts.pieces.empty();
  for (const std::string& piece : facts.pieces) {
    for (const char c : piece) facts.hasTrailer = facts.hasTrailer && c >= 0x20 && c < 0x7F;
  }
  if (!facts.hasTrailer) {
    facts.pieces.clear();
    return true;
  }
  for (std::size_t i = 0; i < facts.pieces.size(); ++i) {
    facts.modelList += (i ? "|" : "") + facts.pieces[i];
  }
  char hex[9];
  const std::uint8_t* tag = trailer + updatefile::kTrailerSize - updatefile::kVerifyTagFromEnd;
  std::snprintf(hex, sizeof hex, "%02x%02x%02x%02x", tag[0], tag[1], tag[2], tag[3]);
  facts.verifyTag = hex;
  return true;
}

// Whether the Update button of the entry's page would take the file: the
// page's extension test, then the content check of the tool class.
// Programmer files (other than DevType 13) carry nothing to check.
bool Fits(const DeviceEntry& e, const std::string& path, const FileFacts& facts) {
  PageKind kind = PageKind::QV120;
  if (!PageForProduct(e.DevType, kind)) return false;
  CProductPageLogic page(kind, e.DevType);
  if (!page.CheckExtension(path, page.ChooseUpdatePath(path)).empty()) return false;
  if (facts.size > updatefile::kMaxUpdateFileSize) return false;
  if (e.USBType == kToolClassic) return facts.hasHeader && facts.headerName == e.DevName;
  if (e.USBType == kToolNew || e.DevType == kDevTypeLoaderReboot) {
    return facts.hasTrailer && updatefile::ModelListAccepts(facts.pieces, e.DevName);
  }
  return false;
}

}  // namespace

int RunInfo(const CliOptions& options, CliReporter& out) {
  DeviceEntry unused;
  PageKind kind = PageKind::QV120;
  const int loaded = LoadModel(options, out, unused, kind);
  if (loaded != kExitOk) return loaded;

  const std::string& path = options.updateFile;
  FileFacts facts;
  if (!ReadFacts(path, facts)) {
    out.Message("varnok-cli: cannot read " + path, true);
    out.Result("unreadable", kExitNotWritten, "", "");
    return kExitNotWritten;
  }
  const bool bin = updatefile::AsciiUpper(path).find(".BIN") != std::string::npos;
  std::string fits;
  int fitCount = 0;
  for (const DeviceEntry& e : CConfigHelper::GetInstance().AllEntries()) {
    if (!Fits(e, path, facts)) continue;
    fits += (fitCount++ ? ", " : "") + e.ShowName + " (" + std::to_string(e.DevType) + ")";
  }

  // The file's own texts may hold any byte; each field stays on its line.
  out.Info("File: " + PrintableText(path) + "\nSize: " + std::to_string(facts.size) +
               " bytes\nSHA-256: " + facts.sha256 + "\nUpdate path: " + (bin ? ".bin" : ".zpk") +
               "\nClassic header: " + (facts.hasHeader ? PrintableText(facts.headerName) : "-") +
               "\nModel list: " + (facts.hasTrailer ? PrintableText(facts.modelList) : "-") +
               "\nVerify tag: " + (facts.hasTrailer ? PrintableText(facts.verifyTag) : "-") +
               "\nFits: " + (fitCount ? PrintableText(fits) : "no model of the configuration"),
           JsonLine("info").Add("file", path).Add("size", facts.size)
               .Add("sha256", facts.sha256).Add("path", bin ? ".bin" : ".zpk")
               .Add("classic_header", facts.headerName).Add("model_list", facts.modelList)
               .Add("verify_tag", facts.verifyTag).Add("fits", fits)
               .Add("fit_count", fitCount).Str());
  const int exit = fitCount > 0 ? kExitOk : kExitNotWritten;
  out.Result(fitCount > 0 ? "fits" : "fits-none", exit, "", "");
  return exit;
}

}  // namespace cli
