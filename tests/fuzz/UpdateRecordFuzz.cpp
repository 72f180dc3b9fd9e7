// The update record's reader over arbitrary updates.log bytes: every line
// either parses into a record whose numbers are in range or is skipped.
#include <cstdint>
#include <algorithm>
#include <cstdlib>
#include <string>

#include "update/UpdateRecord.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  std::string::size_type from = 0;
  while (from <= text.size()) {
    const std::string::size_type end = std::min(text.find('\n', from), text.size());
    varnok::UpdateRecord record;
    if (varnok::ParseUpdateRecord(text.substr(from, end - from), record)) {
      if (record.port < -1 || record.size < -1 || record.exitStatus < 0 || record.durationS < 0)
        std::abort();
      // What is read back writes again as one line.
      if (varnok::UpdateRecordJson(record).find('\n') != std::string::npos) std::abort();
    }
    from = end + 1;
  }
  return 0;
}
