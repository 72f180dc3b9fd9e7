#include "cli/commands/DtcCommand.h"

#include "cli/ExitCodes.h"
#include "cli/output/JsonLine.h"
#include "cli/output/PrintableText.h"
#include "tools/DtcLibrary.h"
#include "update/ConfigHelper.h"
#include "update/FileKind.h"

namespace cli {

int RunDtc(const CliOptions& options, CliReporter& out) {
  const std::string path = options.libraryPath.empty()
                               ? CConfigHelper::GetInstance().GetModuleDir() + CDtcLibrary::kRelativePath
                               : options.libraryPath;
  CDtcLibrary library;
  // Asked before the open: a FIFO would block it, a folder is no library.
  if (varnok::KindOfFile(path) != varnok::FileKind::Regular || !library.Load(path)) {
    out.Message(dtc::kLibraryOpenFailure, true);
    out.Result("usage", kExitUsage, dtc::kLibraryOpenFailure,
               "Library: " + path + " cannot be read.");
    return kExitUsage;
  }
  const LegacyCodePage codePage = SystemLegacyCodePage();
  int status = kExitOk;
  for (const std::string& prefix : options.prefixes) {
    const std::vector<std::size_t> found = library.FindAll(prefix);
    if (found.empty()) {
      out.Message("varnok-cli: no trouble code begins with " + prefix, true);
      status = kExitNotWritten;
      continue;
    }
    for (std::size_t index : found) {
      const DtcRow& row = library.Row(index);
      const std::string code = CDtcLibrary::DecodedText(row, row.code, codePage);
      const std::string description = CDtcLibrary::DecodedText(row, row.description, codePage);
      // A tab or line feed inside a field would pass for the layout's own.
      out.Info(PrintableText(code) + "\t" + PrintableText(description),
               JsonLine("dtc").Add("code", code).Add("description", description).Str());
    }
  }
  return status;
}

}  // namespace cli
