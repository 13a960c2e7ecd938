// What the program relies on from the file calls and the process list, checked against the
// fakes and against Wine.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <string>
#include <vector>

#include "contract_world.h"
#include "platform/multibyte.h"

using namespace platform;

namespace {

class FileSystemContract : public ::testing::Test {
 protected:
  std::string In(const std::string& name) { return scratch + "\\" + name; }

  // The names of a listing in the order reported, or the error that refused it.
  std::vector<std::string> List(const std::string& pattern) {
    ScopedFind listing(files);
    FoundEntry entry;
    const ErrorCode opened = files.FindFirst(pattern, listing.Receive(), &entry);
    if (opened != kErrorSuccess) return {"error " + std::to_string(opened)};
    std::vector<std::string> names;
    do {
      names.push_back(entry.name);
      const bool folder = entry.name == "." || entry.name == ".." || entry.name == "sub";
      EXPECT_EQ(entry.attributes & kFileAttributeDirectory, folder ? kFileAttributeDirectory : 0u);
    } while (files.FindNext(listing.Get(), &entry) == kErrorSuccess);
    EXPECT_EQ(files.FindNext(listing.Get(), &entry), kErrorNoMoreFiles);
    return names;
  }

  // Writes a.arx holding "new" and b.arx holding "old".
  void WriteTwoFiles() {
    world->WriteFile(In("a.arx"), "new");
    world->WriteFile(In("b.arx"), "old");
  }

  std::unique_ptr<contract::World> world = contract::MakeWorld();
  FileSystem& files = world->Files();
  const std::string scratch = world->ScratchFolder();
};

TEST_F(FileSystemContract, ListingGivesDotEntriesFirstThenNamesSortedWithoutRegardToCase) {
  const std::string gbkName = "\xC0\xA9\xD5\xB9.txt";  // 扩展.txt
  for (const char* name : {"b.txt", "A.txt", "c", "B2.dat", "a1.txt", "Zed.txt", "_x.txt",
                                  "~t.txt", gbkName.c_str()}) {
    world->WriteFile(In(name), name);
  }
  ASSERT_EQ(files.MakeDirectory(In("sub")), kErrorSuccess);
  EXPECT_EQ(files.GetAttributes(In("sub")), kFileAttributeDirectory);
  EXPECT_EQ(List(In("*.*")),
            (std::vector<std::string>{".", "..", "A.txt", "a1.txt", "b.txt", "B2.dat", "c", "sub",
                                      "Zed.txt", "_x.txt", "~t.txt", gbkName}));
  // A path without wildcards reports that entry alone, under the name it was made with.
  EXPECT_EQ(List(In("SUB")), std::vector<std::string>{"sub"});
  EXPECT_EQ(List(In("none.txt")), std::vector<std::string>{"error 2"});   // file not found
  EXPECT_EQ(List(In("none\\*.*")), std::vector<std::string>{"error 3"});  // path not found
}

TEST_F(FileSystemContract, FoldersAreMadeOneLevelAtATime) {
  EXPECT_EQ(files.MakeDirectory(In("new")), kErrorSuccess);
  EXPECT_EQ(files.MakeDirectory(In("new")), kErrorAlreadyExists);
  EXPECT_EQ(files.MakeDirectory(In("two\\levels")), kErrorPathNotFound);
  EXPECT_EQ(files.GetAttributes(In("two")), kInvalidFileAttributes);
  EXPECT_EQ(List(In("new\\*.*")), (std::vector<std::string>{".", ".."}));
}

TEST_F(FileSystemContract, CopyOverwritesUnlessToldToFailAndRefusesFolders) {
  WriteTwoFiles();
  EXPECT_EQ(files.Copy(In("a.arx"), In("b.arx"), true), kErrorFileExists);
  EXPECT_EQ(world->ReadFile(In("b.arx")), "old");
  EXPECT_EQ(files.Copy(In("a.arx"), In("b.arx"), false), kErrorSuccess);
  EXPECT_EQ(world->ReadFile(In("b.arx")), "new");
  ASSERT_EQ(files.MakeDirectory(In("sub.d")), kErrorSuccess);
  EXPECT_EQ(files.Copy(In("sub.d"), In("d.arx"), false), kErrorAccessDenied);
  EXPECT_EQ(files.Copy(In("a.arx"), In("sub.d"), false), kErrorAccessDenied);
  EXPECT_EQ(files.Copy(In("none.arx"), In("d.arx"), false), kErrorFileNotFound);
  EXPECT_EQ(files.Copy(In("a.arx"), In("none\\d.arx"), false), kErrorPathNotFound);
}

TEST_F(FileSystemContract, ReadOnlyTravelsWithACopyAndIsClearedAlone) {
  const std::uint32_t readOnlyHidden = kFileAttributeReadOnly | kFileAttributeHidden;
  WriteTwoFiles();
  ASSERT_EQ(files.SetAttributes(In("b.arx"), readOnlyHidden), kErrorSuccess);
  EXPECT_EQ(files.Delete(In("b.arx")), kErrorAccessDenied);
  // Windows refuses to overwrite a read-only file, and so does the fake. Wine keeps the
  // attribute in the Unix file mode, which does not bind root: run by root it writes through.
  const ErrorCode copied = files.Copy(In("a.arx"), In("b.arx"), false);
  EXPECT_TRUE(copied == kErrorAccessDenied || (copied == kErrorSuccess && world->IsWine()));
  EXPECT_EQ(world->ReadFile(In("b.arx")), copied == kErrorSuccess ? "new" : "old");
  const std::uint32_t before = files.GetAttributes(In("b.arx"));
  EXPECT_EQ(before & readOnlyHidden, readOnlyHidden);
  ASSERT_EQ(files.SetAttributes(In("b.arx"), before & ~kFileAttributeReadOnly), kErrorSuccess);
  EXPECT_EQ(files.GetAttributes(In("b.arx")), before & ~kFileAttributeReadOnly);
  EXPECT_EQ(files.Copy(In("a.arx"), In("b.arx"), false), kErrorSuccess);

  // A copy takes the source's read-only attribute along.
  ASSERT_EQ(files.SetAttributes(In("a.arx"), kFileAttributeReadOnly), kErrorSuccess);
  ASSERT_EQ(files.Copy(In("a.arx"), In("c.arx"), false), kErrorSuccess);
  EXPECT_NE(files.GetAttributes(In("c.arx")) & kFileAttributeReadOnly, 0u);
  EXPECT_EQ(files.SetAttributes(In("none.arx"), 0), kErrorFileNotFound);
}

TEST_F(FileSystemContract, ZoneMarkIsDeletedByItsStreamNameAndLeavesTheFile) {
  // Windows keeps the mark in an alternate data stream, and so does the fake. Wine has no
  // streams: there "a.arx:Zone.Identifier" is a file of that name; deleting it by that name
  // behaves the same.
  const std::string mark = In("a.arx:Zone.Identifier");
  world->WriteFile(In("a.arx"), "program");
  EXPECT_EQ(files.Delete(mark), kErrorFileNotFound);
  world->WriteFile(mark, "[ZoneTransfer]\r\nZoneId=3\r\n");
  EXPECT_EQ(files.Delete(mark), kErrorSuccess);
  EXPECT_EQ(world->ReadFile(In("a.arx")), "program");
}

TEST_F(FileSystemContract, AFileHeldOpenWithoutSharingCannotBeCopiedEitherWay) {
  WriteTwoFiles();
  world->HoldOpen(In("b.arx"), true);
  EXPECT_EQ(files.Copy(In("a.arx"), In("b.arx"), false), kErrorSharingViolation);
  EXPECT_EQ(files.Copy(In("b.arx"), In("c.arx"), false), kErrorSharingViolation);
  world->HoldOpen(In("b.arx"), false);
  EXPECT_EQ(files.Copy(In("a.arx"), In("b.arx"), false), kErrorSuccess);
}

TEST_F(FileSystemContract, ModulePathIsWholeOrReportedAsCutAndItsProcessRuns) {
  std::array<char, 261> path{};
  const std::uint32_t length = files.ModuleFileName(path.data(), path.size());
  ASSERT_GT(length, 0u);
  ASSERT_LT(length, path.size());
  const std::string whole(path.data());
  EXPECT_EQ(whole.size(), length);
  const std::string name = "contract_tests.exe";
  EXPECT_TRUE(EqualsIgnoringCase(whole.substr(whole.rfind('\\') + 1), name, IsCp936LeadByte));
  std::array<char, 8> small{};
  EXPECT_EQ(files.ModuleFileName(small.data(), small.size()), small.size());
  EXPECT_EQ(std::string(small.data(), 7), whole.substr(0, 7));

  const auto running = world->Processes().ExecutableNames();
  ASSERT_TRUE(running.has_value());
  EXPECT_TRUE(std::any_of(running->begin(), running->end(), [&](const std::string& process) {
    return EqualsIgnoringCase(process, name, IsCp936LeadByte);
  })) << ::testing::PrintToString(*running);
}

}  // namespace
