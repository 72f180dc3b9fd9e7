// The update record: SHA-256 by the platform library, the JSON line, and
// appends from several runs at once.
#include <sys/stat.h>

#include <thread>

#include <gtest/gtest.h>

#include "tests/support/ScopedEnv.h"
#include "tests/update/UpdateTestSupport.h"
#include "update/Sha256.h"
#include "update/UpdateRecord.h"

namespace varnok::test {
namespace {

TEST(Sha256Test, KnownDigests) {
  const struct {
    std::string input;
    const char* digest;
  } rows[] = {
      {"", "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855"},
      {"abc", "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad"},
      {std::string(1000000, 'a'), "cdc76e5c9914fb9281a1c7e284d73e67f1809a48a497200e046d39ccc7112cd0"},
  };
  for (const auto& row : rows) {
    EXPECT_EQ(Sha256Hex(row.input.data(), row.input.size()), row.digest) << row.input.size();
  }
}

TEST(Sha256Test, FileIsHashedInPiecesAndAMissingFileFails) {
  TempFolder folder;
  const Bytes bytes = PatternImage(200 * 1024 + 3);  // several read pieces
  std::string hex;
  std::int64_t size = 0;
  ASSERT_TRUE(Sha256OfFile(folder.Write("f.bin", bytes), hex, size));
  EXPECT_EQ(size, static_cast<std::int64_t>(bytes.size()));
  EXPECT_EQ(hex, Sha256Hex(bytes.data(), bytes.size()));
  EXPECT_FALSE(Sha256OfFile(folder.Path() + "/missing.bin", hex, size));
  EXPECT_TRUE(hex.empty());
  // A FIFO would block the read for ever (a run recorded its file so).
  const std::string fifo = folder.Path() + "/fifo.bin";
  ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
  EXPECT_FALSE(Sha256OfFile(fifo, hex, size));
}

TEST(UpdateRecordTest, LineRoundTripsAndInvalidUtf8IsReplaced) {
  UpdateRecord r;
  r.time = "2026-12-08T21:40:05Z";
  r.model = "QV120";
  r.port = 3;
  r.portName = "ttyACM2";
  r.file = "fw\xff\"x.bin";
  r.size = 12345;
  r.sha256 = "ab";
  r.result = "done";
  r.exitStatus = 0;
  r.durationS = 1.25;
  const std::string line = UpdateRecordJson(r);
  EXPECT_EQ(line.find('\n'), std::string::npos);
  UpdateRecord back;
  ASSERT_TRUE(ParseUpdateRecord(line, back));
  EXPECT_EQ(back.file, "fw\xEF\xBF\xBD\"x.bin");
  EXPECT_EQ(back.port, 3);
  EXPECT_EQ(back.size, 12345);
  EXPECT_DOUBLE_EQ(back.durationS, 1.25);
  for (const char* bad : {"", "not json", "[1,2]", "{\"time\":\"x\"}", "{\"time\":1,\"result\":\"done\"}"}) {
    EXPECT_FALSE(ParseUpdateRecord(bad, back)) << bad;
  }
}

TEST(UpdateRecordTest, RunsAppendingAtOnceEachLeaveOneWholeLine) {
  TempFolder folder;
  const ScopedEnv state("XDG_STATE_HOME", folder.Path());
  constexpr int kRuns = 8;
  std::vector<std::thread> runs;
  for (int i = 0; i < kRuns; ++i) {
    runs.emplace_back([i] {
      CUpdateRecorder recorder("QV120");
      recorder.SetPort(i + 1);
      std::string error;
      EXPECT_EQ(recorder.Finish("done", 0, error), RecordWrite::Written) << error;
    });
  }
  for (auto& t : runs) t.join();
  std::vector<UpdateRecord> records;
  int skipped = 0;
  ASSERT_TRUE(ReadUpdateRecords(UpdateLogPath(), records, skipped));
  EXPECT_EQ(records.size(), static_cast<std::size_t>(kRuns));
  EXPECT_EQ(skipped, 0);
  EXPECT_EQ(UpdateLogPath(), folder.Path() + "/varnok/updates.log");
}

TEST(UpdateRecordTest, AnUnwritableRecordFailsOnceThenQuietly) {
  TempFolder folder;
  // A file where the state folder should be: nothing can be created under it.
  folder.WriteText("varnok", "x");
  const ScopedEnv state("XDG_STATE_HOME", folder.Path());
  CUpdateRecorder first("QV120");
  CUpdateRecorder second("QV120");
  std::string error;
  const RecordWrite a = first.Finish("done", 0, error);
  EXPECT_FALSE(error.empty());
  const RecordWrite b = second.Finish("done", 0, error);
  EXPECT_NE(a, RecordWrite::Written);
  EXPECT_EQ(b, RecordWrite::FailedAgain);
}

// Hand-edited lines: a number the field cannot hold is no record, never a
// wrapped value.
TEST(UpdateRecordTest, NumbersOutOfRangeMakeALineNoRecord) {
  const std::string head = "{\"time\":\"2026-12-08T21:40:05Z\",\"result\":\"done\",";
  const struct {
    const char* fields;
    bool record;
  } rows[] = {
      {"\"port\":3,\"size\":4096,\"exit\":4,\"duration_s\":1.5}", true},
      {"\"port\":-1,\"size\":-1}", true},
      {"\"port\":4294967297}", false},
      {"\"port\":-2}", false},
      {"\"port\":1.5}", false},
      {"\"size\":18446744073709551615}", false},
      {"\"size\":-5}", false},
      {"\"exit\":256}", false},
      {"\"exit\":-1}", false},
      {"\"duration_s\":-3}", false},
  };
  for (const auto& row : rows) {
    UpdateRecord parsed;
    EXPECT_EQ(ParseUpdateRecord(head + row.fields, parsed), row.record) << row.fields;
  }
}

TEST(UpdateRecordTest, RecordsAreWholeLinesAndTheFileNameIsCutAtThePlatformSeparator) {
  TempFolder folder;
  const ScopedEnv state("XDG_STATE_HOME", folder.Path());
  mkdir((folder.Path() + "/varnok").c_str(), 0755);
  // A record cut off by a full disk or a hand edit.
  folder.WriteText("varnok/updates.log", "{\"time\":\"2026-12-08T21:40:05Z\",\"res");
  CUpdateRecorder recorder("QV120");
  recorder.SetFile(folder.Path() + "/sub/fw\\v2.bin");
  std::string error;
  ASSERT_EQ(recorder.Finish("done", 0, error), RecordWrite::Written) << error;
  std::vector<UpdateRecord> records;
  int skipped = 0;
  ASSERT_TRUE(ReadUpdateRecords(UpdateLogPath(), records, skipped));
  ASSERT_EQ(records.size(), 1u);
  EXPECT_EQ(skipped, 1);
  EXPECT_EQ(records[0].file, "fw\\v2.bin");  // a backslash is part of a POSIX name
}

// A FIFO as the record would block the open (append and read alike).
TEST(UpdateRecordTest, ARecordThatIsAFifoIsRefusedUnopened) {
  TempFolder folder;
  const ScopedEnv state("XDG_STATE_HOME", folder.Path());
  mkdir((folder.Path() + "/varnok").c_str(), 0755);
  ASSERT_EQ(mkfifo(UpdateLogPath().c_str(), 0600), 0);
  CUpdateRecorder recorder("QV120");
  std::string error;
  EXPECT_NE(recorder.Finish("done", 0, error), RecordWrite::Written);
  std::vector<UpdateRecord> records;
  int skipped = 0;
  EXPECT_FALSE(ReadUpdateRecords(UpdateLogPath(), records, skipped));
}

}  // namespace
}  // namespace varnok::test
