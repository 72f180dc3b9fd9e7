// The simulator's command line and its fault grammar. The input is split
// at newlines: every piece is one argument and, on its own, one fault text.
#include <cstdint>
#include <string>
#include <vector>

#include "sim/FaultPlan.h"
#include "sim/SimOptions.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::vector<std::string> pieces{"varnok-toolsim"};
  std::string piece;
  for (std::size_t i = 0; i < size; ++i) {
    if (data[i] == '\n') {
      pieces.push_back(piece);
      piece.clear();
    } else {
      piece.push_back(static_cast<char>(data[i]));
    }
  }
  pieces.push_back(piece);

  std::vector<const char*> argv;
  for (const std::string& p : pieces) argv.push_back(p.c_str());
  varnok::sim::SimOptions options;
  std::string error;
  varnok::sim::ParseSimArgs(static_cast<int>(argv.size()), argv.data(), options, error);

  varnok::sim::FaultPlan plan;
  for (std::size_t i = 1; i < pieces.size(); ++i) plan.Add(pieces[i], &error);
  for (unsigned occurrence = 1; occurrence < 4; ++occurrence) {
    for (const int kind : {0, 1, 2, 3, 4, 5, 6})
      plan.Find(static_cast<varnok::sim::FaultKind>(kind), 0xC1, occurrence);
  }
  plan.Unplug();
  return 0;
}
