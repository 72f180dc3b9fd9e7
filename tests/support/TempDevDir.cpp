#include "tests/support/TempDevDir.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "tests/support/EnvVar.h"
#include "tests/support/TempFolder.h"

namespace varnok::test {

TempDevDir::TempDevDir() : path_(MakeTempFolder("varnok-dev-")) {
  if (const char* old = std::getenv("VARNOK_DEV_DIR")) {
    previous_ = old;
    hadPrevious_ = true;
  }
  SetEnvVar("VARNOK_DEV_DIR", path_);
}

TempDevDir::~TempDevDir() {
  if (hadPrevious_)
    SetEnvVar("VARNOK_DEV_DIR", previous_);
  else
    UnsetEnvVar("VARNOK_DEV_DIR");
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
