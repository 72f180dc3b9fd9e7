#pragma once
// Sets an environment variable for the lifetime of the object; the previous
// value (or its absence) comes back afterwards.

#include <cstdlib>
#include <string>

#include "tests/support/EnvVar.h"

namespace varnok::test {

class ScopedEnv {
 public:
  ScopedEnv(const char* name, const std::string& value) : name_(name) {
    if (const char* old = std::getenv(name)) {
      had_ = true;
      old_ = old;
    }
    SetEnvVar(name, value);
  }
  ~ScopedEnv() {
    if (had_) {
      SetEnvVar(name_, old_);
    } else {
      UnsetEnvVar(name_);
    }
  }
  ScopedEnv(const ScopedEnv&) = delete;
  ScopedEnv& operator=(const ScopedEnv&) = delete;

 private:
  const char* name_;
  std::string old_;
  bool had_ = false;
};

}  // namespace varnok::test
