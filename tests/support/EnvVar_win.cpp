#include <cstdlib>

#include "tests/support/EnvVar.h"

namespace varnok::test {

void SetEnvVar(const std::string& name, const std::string& value) {
  _putenv_s(name.c_str(), value.c_str());
}

// An empty value removes the variable on Windows.
void UnsetEnvVar(const std::string& name) { _putenv_s(name.c_str(), ""); }

}  // namespace varnok::test
