// The simulator's line counts what the updater has not read yet, bytes
// still crossing the pty included: a tool hangs up only after that count
// reached zero, since a hang-up drops unread input.
#include <fcntl.h>
#include <unistd.h>

#include <string>

#include <gtest/gtest.h>

#include "sim/PtyLink.h"
#include "tests/support/TempFolder.h"

namespace {

TEST(PtyLinkTest, BytesJustWrittenCountAsUnreadUntilTheUpdaterReadsThem) {
  const std::string folder = varnok::test::MakeTempFolder("varnok-ptylink-");
  varnok::sim::PtyLink link(folder + "/ttyACM0");
  std::string error;
  ASSERT_TRUE(link.Open(&error)) << error;
  const int peer = ::open(link.LinkPath().c_str(), O_RDWR | O_NOCTTY);
  ASSERT_GE(peer, 0);
  int sleeps = 0;
  const auto sleep = [&sleeps](int) { ++sleeps; return true; };
  // Many rounds: right after a write the bytes are often still on the
  // kernel's way to the slave's queue.
  for (int round = 0; round < 50; ++round) {
    ASSERT_EQ(::write(link.MasterFd(), "T=25\r\n", 6), 6);
    ASSERT_EQ(link.PendingTowardsPeer(), 6) << "round " << round;
    EXPECT_FALSE(link.WaitPeerRead(0, sleep));
    char got[16];
    ASSERT_EQ(::read(peer, got, sizeof got), 6);
    EXPECT_TRUE(link.WaitPeerRead(0, sleep));
  }
  EXPECT_EQ(sleeps, 0);
  ::close(peer);
  link.Close();
  ::rmdir(folder.c_str());
}

}  // namespace
