#include "tests/support/TempFolder.h"

#include <filesystem>
#include <random>
#include <stdexcept>

namespace varnok::test {

std::string MakeTempFolder(const std::string& stem) {
  namespace fs = std::filesystem;
  static thread_local std::mt19937_64 random{std::random_device{}()};
  const fs::path base = fs::temp_directory_path();
  for (int attempt = 0; attempt < 100; ++attempt) {
    const fs::path candidate = base / (stem + std::to_string(random() % 1000000000));
    std::error_code ec;
    // create_directory is false for a folder that exists already: another
    // test's, never reused.
    if (fs::create_directory(candidate, ec)) return candidate.string();
  }
  throw std::runtime_error("cannot create a temporary folder in " + base.string());
}

}  // namespace varnok::test
