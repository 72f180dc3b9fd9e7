// Writing the update record for varnok-cli.
#include <cstdio>

#include "cli/UpdateSteps.h"

namespace cli {

void FinishUpdateRecord(varnok::CUpdateRecorder& record, const std::string& result, int exit) {
  std::string error;
  if (record.Finish(result.empty() ? "internal" : result, exit, error) ==
      varnok::RecordWrite::Failed) {
    std::fprintf(stderr, "varnok-cli: %s (the update itself is not affected)\n", error.c_str());
  }
}

}  // namespace cli
