#include "tests/support/TempDevDir.h"

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <stdexcept>

namespace varnok::test {

TempDevDir::TempDevDir() {
  std::string pattern = std::filesystem::temp_directory_path().string() + "/varnok-dev-XXXXXX";
  if (mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
  path_ = pattern;
  if (const char* old = std::getenv("VARNOK_DEV_DIR")) {
    previous_ = old;
    hadPrevious_ = true;
  }
  setenv("VARNOK_DEV_DIR", path_.c_str(), 1);
}

TempDevDir::~TempDevDir() {
  if (hadPrevious_)
    setenv("VARNOK_DEV_DIR", previous_.c_str(), 1);
  else
    unsetenv("VARNOK_DEV_DIR");
  std::error_code ec;
  std::filesystem::remove_all(path_, ec);
}

void TempDevDir::Link(const std::string& name, const std::string& target) const {
  std::filesystem::create_symlink(target, PathOf(name));
}

void TempDevDir::WriteFile(const std::string& name, const std::string& content) const {
  std::ofstream(PathOf(name), std::ios::binary) << content;
}

}  // namespace varnok::test
