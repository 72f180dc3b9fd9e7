// device.xml that is a FIFO (POSIX): refused as not a file, without
// blocking on a reader that never comes.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include "tests/update/UpdateTestSupport.h"
#include "update/ConfigHelper.h"

namespace varnok::test {
namespace {

TEST(ConfigHelperPosixTest, FifoFailsTheLoadAsNotAFile) {
  CConfigHelper::ResetForTesting();
  TempFolder folder;
  const std::string fifo = folder.Path() + "/fifo.xml";
  ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
  EXPECT_FALSE(CConfigHelper::GetInstance().LoadConfig(fifo));
  EXPECT_EQ(CConfigHelper::GetInstance().LastLoad(), ConfigLoad::NotAFile);
  CConfigHelper::ResetForTesting();
}

}  // namespace
}  // namespace varnok::test
