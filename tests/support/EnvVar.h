#pragma once
// Setting and removing environment variables of the test process, on every
// platform (setenv/unsetenv are POSIX only).

#include <string>

namespace varnok::test {

void SetEnvVar(const std::string& name, const std::string& value);
void UnsetEnvVar(const std::string& name);

}  // namespace varnok::test
