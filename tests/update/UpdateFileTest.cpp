// Update files: the classic header, the model-list trailer, the partition
// selector from the path, and the size limits of LoadUpdateFile.
#include <gtest/gtest.h>

#include <filesystem>

#include "device/UsbDevInterface.h"
#include "tests/update/UpdateTestSupport.h"
#include "update/DownloadWorkflow.h"
#include "update/FileKind.h"
#include "update/Sha256.h"
#include "update/UpdateFile.h"

namespace varnok::test {
namespace {

DeviceEntry Entry(int devType, const std::string& devName, int usbType) {
  DeviceEntry e;
  e.DevType = devType;
  e.ShowName = devName;
  e.DevName = devName;
  e.USBType = usbType;
  return e;
}

std::vector<std::string> Pieces(const std::string& list) {
  const Bytes bytes = updatefile::MakeModelList(list);
  return updatefile::SplitModelList(bytes.data());
}

class UpdateFileTest : public ::testing::Test {
 protected:
  // Loads `path` for `entry` with the caller's selector; `partition` gets
  // the device object's selector afterwards.
  bool Load(const DeviceEntry& entry, const std::string& path, int selector = 0) {
    workflow.reset(new CDownloadWorkflow());
    workflow->SetDeviceEntry(entry);
    workflow->SetPartitionSelector(selector);
    const bool ok = workflow->LoadUpdateFile(path);
    partition = workflow->Device() ? workflow->Device()->partition : -100;
    return ok;
  }
  Bytes Image() const { return workflow->Image() ? *workflow->Image() : Bytes(); }

  TempDevDir devDir;  // no tool anywhere
  TempFolder folder;
  std::unique_ptr<CDownloadWorkflow> workflow;
  int partition = -100;
};

TEST_F(UpdateFileTest, ClassicHeaderMustSpellTheNameExactly) {
  const Bytes image = PatternImage(300);
  const std::string path = folder.Write("ab.bin", ClassicFile("AB", image));
  EXPECT_TRUE(Load(Entry(1, "AB", 0), path));
  EXPECT_EQ(Image(), image);
  EXPECT_EQ(workflow->ImageSize(), 300);
  EXPECT_FALSE(Load(Entry(1, "ab", 0), path));
  EXPECT_EQ(workflow->Image(), nullptr);
  EXPECT_FALSE(Load(Entry(1, "ABC", 0), path));
  EXPECT_FALSE(Load(Entry(1, "A", 0), path));
}

TEST_F(UpdateFileTest, ClassicFiveCharacterNameFillsTheHeader) {
  const Bytes image = PatternImage(10);
  EXPECT_TRUE(Load(Entry(1, "QV120", 0), folder.Write("q.bin", ClassicFile("QV120", image))));
  EXPECT_EQ(Image(), image);
}

TEST_F(UpdateFileTest, ClassicEmptyFileLoadsWithNoImageAndShortFilesAreRejected) {
  EXPECT_TRUE(Load(Entry(1, "AB", 0), folder.Write("0.bin", {})));
  EXPECT_EQ(workflow->ImageSize(), 0);
  for (std::size_t n = 1; n <= 4; ++n) {
    SCOPED_TRACE(n);
    EXPECT_FALSE(Load(Entry(1, "AB", 0), folder.Write("short.bin", Bytes(n, 0xBE))));
  }
}

TEST_F(UpdateFileTest, EmptyImageNeverReachesTheToolAndShowsWrongFile) {
  ASSERT_TRUE(Load(Entry(1, "AB", 0), folder.Write("0.bin", {})));
  RecordingView view;
  workflow->SetView(&view);
  workflow->Start();
  ASSERT_TRUE(view.ended);
  EXPECT_EQ(view.end, DownloadEnd::NotStarted);
  EXPECT_EQ(view.traces, std::vector<std::string>{"ProcessInitDevice NG\n"});
  ASSERT_EQ(view.statuses.size(), 1u);
  EXPECT_EQ(view.statuses[0].text, "Wrong file.");
  EXPECT_FALSE(view.statuses[0].ok);
}

TEST_F(UpdateFileTest, NewToolPartitionComesFromThePath) {
  const struct {
    const char* path;
    int selector;
  } rows[] = {
      {"fw/Diag/update.zpk", 7},   {"manager/diag.bin", 2},  {"fw/update.bin", 1},
      {"SENSOR/x.ZPK", 5},          {"sensor.bin", 4},        {"Manager.zpk", 3},
      {"diag/x.bin.old", 1},        {"sensor/x.zpk.bin", 4},  {"diag/x.dat", 1},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.path);
    const std::string path = folder.Write(row.path, TrailerFile("QV330", 256));
    EXPECT_TRUE(Load(Entry(16, "QV330", 1), path, 1));
    EXPECT_EQ(partition, row.selector);
  }
}

TEST_F(UpdateFileTest, ClassicAndProgrammerSelectorsIgnoreThePath) {
  EXPECT_TRUE(Load(Entry(1, "AB", 0), folder.Write("diag/a.bin", ClassicFile("AB", PatternImage(8))), 1));
  EXPECT_EQ(partition, 1);
  EXPECT_TRUE(Load(Entry(12, "OMNIX", 2), folder.Write("diag/o.bin", PatternImage(8)), 0));
  EXPECT_EQ(partition, 2);
}

TEST_F(UpdateFileTest, ModelListSplitsAtBarsAndDropsOnlyAnEmptyLastPiece) {
  EXPECT_EQ(Pieces("A||B"), (std::vector<std::string>{"A", "", "B"}));
  EXPECT_EQ(Pieces("A|"), (std::vector<std::string>{"A"}));
  EXPECT_EQ(Pieces("|A"), (std::vector<std::string>{"", "A"}));
  EXPECT_EQ(Pieces(""), (std::vector<std::string>{}));
  EXPECT_EQ(Pieces("QV120|QV130"), (std::vector<std::string>{"QV120", "QV130"}));
  // Sixteen characters and no terminator: all of them.
  EXPECT_EQ(Pieces("ABCDEFGHIJKLMNOP"), (std::vector<std::string>{"ABCDEFGHIJKLMNOP"}));
}

TEST_F(UpdateFileTest, ModelListDecidesNewToolFiles) {
  const struct {
    const char* list;
    const char* devName;
    bool accepted;
  } rows[] = {
      {"QV120|QV130", "qv130", true},  {"QV120|QV130", "QV220", false},
      {"PX540", "PX630", true},        {"PX540", "PX520", true},
      {"PX540", "px630", false},       {"px540", "PX630", false},
      {"A||B", "B", true},             {"QV330", "QV330XE", false},
      {"QV330XE|QV330", "QV330", true}, {"", "QV330", false},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(std::string(row.list) + " / " + row.devName);
    const Bytes file = TrailerFile(row.list, 500);
    EXPECT_EQ(Load(Entry(8, row.devName, 1), folder.Write("f.bin", file)), row.accepted);
    if (row.accepted) {
      EXPECT_EQ(Image(), file);  // the trailer is part of the image
    }
  }
}

TEST_F(UpdateFileTest, NewToolFileNeedsAWholeTrailer) {
  const Bytes exact = TrailerFile("PX520", 64);
  const Bytes shorter(exact.begin() + 1, exact.end());
  EXPECT_FALSE(Load(Entry(8, "PX520", 1), folder.Write("63.bin", shorter)));
  EXPECT_TRUE(Load(Entry(8, "PX520", 1), folder.Write("64.bin", exact)));
  EXPECT_EQ(Image(), exact);
}

TEST_F(UpdateFileTest, ProgrammerFilesAreCheckedOnlyForDevType13) {
  // No tool is connected: the programmer's own name stays unknown.
  const Bytes plain = PatternImage(1000);
  EXPECT_TRUE(Load(Entry(12, "OMNIX", 2), folder.Write("o.bin", plain)));
  EXPECT_EQ(Image(), plain);
  EXPECT_FALSE(Load(Entry(13, "OMNIX2", 2), folder.Write("o2.bin", TrailerFile("OMNIX2", 1000))));
  // Only an empty piece matches the unknown name.
  EXPECT_TRUE(Load(Entry(13, "OMNIX2", 2), folder.Write("o3.bin", TrailerFile("|OMNIX2", 1000))));
}

TEST_F(UpdateFileTest, ClassicFileOfDevType13KeepsItsHeaderOutOfTheImage) {
  const Bytes image = TrailerFile("|", 200);  // empty piece: accepted without a name
  const Bytes file = ClassicFile("PX110", image);
  ASSERT_TRUE(Load(Entry(13, "PX110", 0), folder.Write("p.bin", file)));
  EXPECT_EQ(Image(), image);
}

TEST_F(UpdateFileTest, UnsupportedToolClassAndMissingFileAreRejected) {
  EXPECT_FALSE(Load(Entry(1, "AB", 3), folder.Write("a.bin", ClassicFile("AB", PatternImage(9)))));
  EXPECT_EQ(workflow->Device(), nullptr);
  EXPECT_FALSE(Load(Entry(1, "AB", 0), folder.Path() + "/none.bin"));
}

TEST_F(UpdateFileTest, ARejectedReloadReleasesTheEarlierImage) {
  const std::string good = folder.Write("good.bin", ClassicFile("AB", PatternImage(50)));
  const std::string bad = folder.Write("bad.bin", ClassicFile("XY", PatternImage(50)));
  workflow.reset(new CDownloadWorkflow());
  workflow->SetDeviceEntry(Entry(1, "AB", 0));
  ASSERT_TRUE(workflow->LoadUpdateFile(good));
  ASSERT_NE(workflow->Image(), nullptr);
  EXPECT_FALSE(workflow->LoadUpdateFile(bad));
  EXPECT_EQ(workflow->Image(), nullptr);
  EXPECT_EQ(workflow->ImageSize(), 0);
}

// A file of `size` bytes that were never written (sparse where the file
// system allows).
std::string SparseFile(const TempFolder& folder, const std::string& name, std::uintmax_t size) {
  const std::string path = folder.Write(name, Bytes());
  std::error_code ec;
  std::filesystem::resize_file(path, size, ec);
  EXPECT_FALSE(ec) << ec.message();
  return path;
}

TEST_F(UpdateFileTest, FilesLargerThan64MiBAreWrongFiles) {
  const std::uintmax_t limit = updatefile::kMaxUpdateFileSize;
  EXPECT_FALSE(Load(Entry(12, "OMNIX", 2), SparseFile(folder, "big.bin", limit + 1)));
  EXPECT_EQ(workflow->Image(), nullptr);
  EXPECT_TRUE(Load(Entry(12, "OMNIX", 2), SparseFile(folder, "limit.bin", limit)));
  EXPECT_EQ(static_cast<std::uintmax_t>(workflow->ImageSize()), limit);
}

TEST_F(UpdateFileTest, LengthIsNotCutTo32Bits) {
  // 4 GiB + 100 bytes once looked like a 100-byte file.
  const std::uintmax_t size = (std::uintmax_t{1} << 32) + 100;
  EXPECT_FALSE(Load(Entry(12, "OMNIX", 2), SparseFile(folder, "wrap.bin", size)));
  EXPECT_EQ(workflow->ImageSize(), 0);
}

// The record's digest is that of the bytes loaded, header included, not of
// the file read again later (which may have changed on disk by then).
TEST_F(UpdateFileTest, DigestIsOfTheLoadedBytesNotOfTheFileReadAgain) {
  EXPECT_FALSE(CDownloadWorkflow().FileDigest().ok);
  const Bytes classic = ClassicFile("AB", PatternImage(5000));
  const std::string path = folder.Write("ab.bin", classic);
  ASSERT_TRUE(Load(Entry(1, "AB", 0), path));
  folder.Write("ab.bin", ClassicFile("AB", PatternImage(5000, 9)));
  LoadedFileDigest digest = workflow->FileDigest();
  ASSERT_TRUE(digest.ok);
  EXPECT_EQ(digest.size, 5005);
  EXPECT_EQ(digest.sha256, Sha256Hex(classic.data(), classic.size()));

  const Bytes newTool = TrailerFile("QV120", 3000);
  ASSERT_TRUE(Load(Entry(8, "QV120", 1), folder.Write("n.bin", newTool)));
  digest = workflow->FileDigest();
  EXPECT_EQ(digest.size, 3000);
  EXPECT_EQ(digest.sha256, Sha256Hex(newTool.data(), newTool.size()));
  EXPECT_FALSE(Load(Entry(8, "QV220", 1), folder.Write("n.bin", newTool)));
  EXPECT_FALSE(workflow->FileDigest().ok);  // a rejected file has none
}

// A folder named outside the ANSI code page: the loader, the file check and
// the hash open the same file (on Windows a narrow open would miss it).
TEST_F(UpdateFileTest, NonAsciiFolderLoadsAndHashesTheSameFile) {
  const Bytes file = ClassicFile("AB", PatternImage(3000));
  const std::string path = folder.Write("固件 Прошивка/update.bin", file);
  EXPECT_EQ(KindOfFile(path), FileKind::Regular);
  ASSERT_TRUE(Load(Entry(1, "AB", 0), path));
  EXPECT_EQ(workflow->ImageSize(), 3000);
  std::string hex;
  std::int64_t size = 0;
  ASSERT_TRUE(Sha256OfFile(path, hex, size));
  EXPECT_EQ(size, 3005);
  EXPECT_EQ(workflow->FileDigest().sha256, hex);
}

TEST(UpdateFileRules, ClassicHeaderNameStopsAtTheFirstComplementedZero) {
  const Bytes header = updatefile::MakeClassicHeader("AB");
  EXPECT_EQ(header, (Bytes{0xBE, 0xBD, 0xFF, 0xFF, 0xFF}));
  EXPECT_EQ(updatefile::ClassicHeaderName(header.data()), "AB");
  const Bytes gap = {0xBE, 0xFF, 0xBD, 0xBD, 0xBD};
  EXPECT_EQ(updatefile::ClassicHeaderName(gap.data()), "A");
}

}  // namespace
}  // namespace varnok::test
