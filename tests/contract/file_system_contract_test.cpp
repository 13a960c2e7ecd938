// What the program relies on from the file calls and the process list, checked against the
// fakes and against Wine.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <string>
#include <utility>
#include <vector>

#include "contract_world.h"
#include "platform/multibyte.h"

using namespace platform;

namespace {

class FileSystemContract : public ::testing::Test {
 protected:
  std::string In(const std::string& name) { return scratch + "\\" + name; }

  // Every entry of a listing, in the order reported.
  std::vector<FoundEntry> List(const std::string& pattern, ErrorCode* opened = nullptr) {
    std::vector<FoundEntry> entries;
    ScopedFind listing(files);
    FoundEntry entry;
    const ErrorCode status = files.FindFirst(pattern, listing.Receive(), &entry);
    if (opened != nullptr) *opened = status;
    if (status != kErrorSuccess) return entries;
    do {
      entries.push_back(entry);
    } while (files.FindNext(listing.Get(), &entry) == kErrorSuccess);
    EXPECT_EQ(files.FindNext(listing.Get(), &entry), kErrorNoMoreFiles);
    return entries;
  }

  std::unique_ptr<contract::World> world = contract::MakeWorld();
  FileSystem& files = world->Files();
  const std::string scratch = world->ScratchFolder();
};

TEST_F(FileSystemContract, ListingGivesDotEntriesFirstThenNamesSortedWithoutRegardToCase) {
  const std::string gbkName = "\xC0\xA9\xD5\xB9.txt";  // 扩展.txt
  for (const std::string& name : std::vector<std::string>{
           "b.txt", "A.txt", "c", "B2.dat", "a1.txt", "Zed.txt", "_x.txt", "~t.txt", gbkName}) {
    world->WriteFile(In(name), name);
  }
  ASSERT_EQ(files.MakeDirectory(In("sub")), kErrorSuccess);

  std::vector<std::string> names;
  for (const FoundEntry& entry : List(In("*.*"))) {
    names.push_back(entry.name);
    const bool folder = entry.name == "." || entry.name == ".." || entry.name == "sub";
    EXPECT_EQ((entry.attributes & kFileAttributeDirectory) != 0, folder) << entry.name;
    if (entry.name == "sub") {
      EXPECT_EQ(entry.attributes, kFileAttributeDirectory);
    }
  }
  EXPECT_EQ(names, (std::vector<std::string>{".", "..", "A.txt", "a1.txt", "b.txt", "B2.dat", "c",
                                             "sub", "Zed.txt", "_x.txt", "~t.txt", gbkName}));

  // A path without wildcards reports that entry alone, under the name it was made with.
  const std::vector<FoundEntry> literal = List(In("SUB"));
  ASSERT_EQ(literal.size(), 1u);
  EXPECT_EQ(literal[0].name, "sub");
  ErrorCode opened = kErrorSuccess;
  EXPECT_TRUE(List(In("none.txt"), &opened).empty());
  EXPECT_EQ(opened, kErrorFileNotFound);
  EXPECT_TRUE(List(In("none\\*.*"), &opened).empty());
  EXPECT_EQ(opened, kErrorPathNotFound);
}

TEST_F(FileSystemContract, FoldersAreMadeOneLevelAtATimeWithTheBareDirectoryWord) {
  EXPECT_EQ(files.MakeDirectory(In("new")), kErrorSuccess);
  EXPECT_EQ(files.GetAttributes(In("new")), kFileAttributeDirectory);
  EXPECT_EQ(files.MakeDirectory(In("new")), kErrorAlreadyExists);
  EXPECT_EQ(files.MakeDirectory(In("two\\levels")), kErrorPathNotFound);
  EXPECT_EQ(files.GetAttributes(In("two")), kInvalidFileAttributes);
  // A new empty folder still lists its two dot entries.
  EXPECT_EQ(List(In("new\\*.*")).size(), 2u);
}

TEST_F(FileSystemContract, CopyOverwritesUnlessToldToFailAndRefusesFolders) {
  world->WriteFile(In("a.arx"), "new");
  world->WriteFile(In("b.arx"), "old");
  EXPECT_EQ(files.Copy(In("a.arx"), In("b.arx"), true), kErrorFileExists);
  EXPECT_EQ(world->ReadFile(In("b.arx")), "old");
  EXPECT_EQ(files.Copy(In("a.arx"), In("b.arx"), false), kErrorSuccess);
  EXPECT_EQ(world->ReadFile(In("b.arx")), "new");
  EXPECT_EQ(files.Copy(In("a.arx"), In("c.arx"), true), kErrorSuccess);
  EXPECT_EQ(world->ReadFile(In("c.arx")), "new");

  ASSERT_EQ(files.MakeDirectory(In("sub.d")), kErrorSuccess);
  EXPECT_EQ(files.Copy(In("sub.d"), In("d.arx"), false), kErrorAccessDenied);
  EXPECT_EQ(files.Copy(In("a.arx"), In("sub.d"), false), kErrorAccessDenied);
  EXPECT_EQ(files.Copy(In("none.arx"), In("d.arx"), false), kErrorFileNotFound);
  EXPECT_EQ(files.Copy(In("a.arx"), In("none\\d.arx"), false), kErrorPathNotFound);
}

TEST_F(FileSystemContract, ReadOnlyTravelsWithACopyAndIsClearedAlone) {
  const std::uint32_t readOnlyHidden = kFileAttributeReadOnly | kFileAttributeHidden;
  world->WriteFile(In("a.arx"), "new");
  world->WriteFile(In("b.arx"), "old");
  ASSERT_EQ(files.SetAttributes(In("b.arx"), readOnlyHidden), kErrorSuccess);
  EXPECT_EQ(files.GetAttributes(In("b.arx")) & readOnlyHidden, readOnlyHidden);
  EXPECT_EQ(files.Delete(In("b.arx")), kErrorAccessDenied);

  // Windows refuses to overwrite a read-only file, and so does the fake. Wine keeps the
  // attribute in the Unix file mode, which does not bind root: run by root it writes through.
  const ErrorCode copied = files.Copy(In("a.arx"), In("b.arx"), false);
  if (copied == kErrorSuccess) {
    EXPECT_TRUE(world->IsWine());
    EXPECT_EQ(world->ReadFile(In("b.arx")), "new");
  } else {
    EXPECT_EQ(copied, kErrorAccessDenied);
    EXPECT_EQ(world->ReadFile(In("b.arx")), "old");
  }
  EXPECT_EQ(files.GetAttributes(In("b.arx")) & readOnlyHidden, readOnlyHidden);

  const std::uint32_t before = files.GetAttributes(In("b.arx"));
  ASSERT_EQ(files.SetAttributes(In("b.arx"), before & ~kFileAttributeReadOnly), kErrorSuccess);
  EXPECT_EQ(files.GetAttributes(In("b.arx")), before & ~kFileAttributeReadOnly);
  EXPECT_EQ(files.Copy(In("a.arx"), In("b.arx"), false), kErrorSuccess);
  EXPECT_EQ(world->ReadFile(In("b.arx")), "new");

  // A copy takes the source's read-only attribute along.
  ASSERT_EQ(files.SetAttributes(In("a.arx"), kFileAttributeReadOnly), kErrorSuccess);
  ASSERT_EQ(files.Copy(In("a.arx"), In("c.arx"), false), kErrorSuccess);
  EXPECT_NE(files.GetAttributes(In("c.arx")) & kFileAttributeReadOnly, 0u);
  EXPECT_EQ(files.SetAttributes(In("none.arx"), 0), kErrorFileNotFound);
}

TEST_F(FileSystemContract, ZoneMarkIsDeletedByItsStreamNameAndLeavesTheFile) {
  // Windows keeps the mark in an alternate data stream, and so does the fake. Wine has no
  // streams: there "a.arx:Zone.Identifier" is a file of that name (which a listing of the
  // folder would show); deleting it by that name behaves the same.
  const std::string mark = In("a.arx:Zone.Identifier");
  world->WriteFile(In("a.arx"), "program");
  EXPECT_EQ(files.Delete(mark), kErrorFileNotFound);
  world->WriteFile(mark, "[ZoneTransfer]\r\nZoneId=3\r\n");
  EXPECT_EQ(files.Delete(mark), kErrorSuccess);
  EXPECT_EQ(files.Delete(mark), kErrorFileNotFound);
  EXPECT_EQ(world->ReadFile(In("a.arx")), "program");
  EXPECT_EQ(files.Delete(In("a.arx")), kErrorSuccess);
  EXPECT_EQ(files.Delete(In("a.arx")), kErrorFileNotFound);
}

TEST_F(FileSystemContract, AFileHeldOpenWithoutSharingCannotBeCopiedEitherWay) {
  world->WriteFile(In("a.arx"), "new");
  world->WriteFile(In("b.arx"), "old");
  world->HoldOpen(In("b.arx"), true);
  EXPECT_EQ(files.Copy(In("a.arx"), In("b.arx"), false), kErrorSharingViolation);
  EXPECT_EQ(files.Copy(In("b.arx"), In("c.arx"), false), kErrorSharingViolation);
  world->HoldOpen(In("b.arx"), false);
  EXPECT_EQ(files.Copy(In("a.arx"), In("b.arx"), false), kErrorSuccess);
  EXPECT_EQ(world->ReadFile(In("b.arx")), "new");
}

TEST_F(FileSystemContract, ModulePathIsWholeOrReportedAsCut) {
  std::array<char, 261> path{};
  const std::uint32_t length = files.ModuleFileName(path.data(), path.size());
  ASSERT_GT(length, 0u);
  ASSERT_LT(length, path.size());
  const std::string whole(path.data(), length);
  EXPECT_EQ(whole.size(), std::string(path.data()).size());
  const std::string name = "\\contract_tests.exe";
  ASSERT_GT(whole.size(), name.size());
  EXPECT_TRUE(EqualsIgnoringCase(whole.substr(whole.size() - name.size()), name, IsCp936LeadByte));

  std::array<char, 8> small{};
  EXPECT_EQ(files.ModuleFileName(small.data(), small.size()), small.size());
  EXPECT_EQ(std::string(small.data(), 7), whole.substr(0, 7));
}

TEST(ProcessContract, ASnapshotNamesTheRunningProgram) {
  const std::unique_ptr<contract::World> world = contract::MakeWorld();
  const auto names = world->Processes().ExecutableNames();
  ASSERT_TRUE(names.has_value());
  EXPECT_TRUE(std::any_of(names->begin(), names->end(), [](const std::string& name) {
    return EqualsIgnoringCase(name, "contract_tests.exe", IsCp936LeadByte);
  })) << ::testing::PrintToString(*names);
}

}  // namespace
