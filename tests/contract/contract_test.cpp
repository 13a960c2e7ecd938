// What the program relies on from the registry, the file calls and the process list, checked
// against the in-memory machine natively and against the Win32 services under Wine.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>

#include "machine.h"  // the in-memory machine natively, the Win32 services under Wine
#include "platform/multibyte.h"

using namespace platform;
using Names = std::vector<std::string>;

namespace {

class Contract : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(registry.CreateKey(kHkeyCurrentUser, machine.scratchKey.c_str(), key.Receive()), kErrorSuccess);
  }
  Names SubKeys() {
    Names names;
    std::array<char, 256> name{};
    for (std::uint32_t length = name.size(); registry.EnumKey(key.Get(), names.size(), name.data(), &length) == kErrorSuccess;
         length = name.size()) {
      names.emplace_back(name.data(), length);
    }
    std::uint32_t count = 0;
    EXPECT_EQ(registry.QuerySubKeyCount(key.Get(), &count), kErrorSuccess);
    EXPECT_EQ(count, names.size());
    return names;
  }
  ErrorCode Open(const std::string& path, bool create = false) {
    ScopedRegKey opened(registry);
    const ErrorCode result = create ? registry.CreateKey(key.Get(), path.c_str(), opened.Receive())
                                    : registry.OpenKeyEx(key.Get(), path.c_str(), kKeyRead, opened.Receive());
    EXPECT_EQ(opened.IsOpen(), result == kErrorSuccess);
    return result;
  }
  std::string In(const std::string& name) { return machine.scratch + "\\" + name; }
  // Writes a whole file the way the program writes its log and its record.
  void Write(const std::string& name, const std::string& contents) {
    FileHandle file = kInvalidFile;
    ASSERT_EQ(files.CreateFileForWriting(In(name), false, &file), kErrorSuccess);
    EXPECT_EQ(files.WriteToFile(file, contents), kErrorSuccess);
    EXPECT_EQ(files.CloseFile(file), kErrorSuccess);
  }
  std::string Contents(const std::string& name, std::size_t limit = 6) {
    std::string text;
    const ErrorCode read = files.ReadWholeFile(In(name), limit, &text);
    return read == kErrorSuccess ? text : "error " + std::to_string(read);
  }
  // A listing's names with "/" after each folder, or the error that refused it.
  Names List(const std::string& pattern) {
    ScopedFind listing(files);
    FoundEntry entry;
    const ErrorCode opened = files.FindFirst(In(pattern), listing.Receive(), &entry);
    if (opened != kErrorSuccess) return {"error " + std::to_string(opened)};
    Names names;
    do names.push_back(entry.name + (entry.attributes & kFileAttributeDirectory ? "/" : ""));
    while (files.FindNext(listing.Get(), &entry) == kErrorSuccess);
    EXPECT_EQ(files.FindNext(listing.Get(), &entry), kErrorNoMoreFiles);
    return names;
  }

  Machine machine;
  Registry& registry = machine.registry;
  FileSystem& files = machine.files;
  ScopedRegKey key{registry};
};

TEST_F(Contract, KeysIgnoreCaseEnumerateSortedAndCreateAndDeleteAsTheProgramExpects) {
  const std::string shallow = "A\x9C\x5C";  // A淺: its trail byte is a backslash
  for (const std::string& name : {std::string("b\\Inner"), std::string("A"), shallow, std::string("B2"), std::string("a1")}) {
    ASSERT_EQ(Open(name, true), kErrorSuccess) << "parents are made";
  }
  EXPECT_EQ(SubKeys(), (Names{"A", "a1", shallow, "b", "B2"}));
  EXPECT_EQ(Open("B\\INNER\\"), kErrorSuccess) << "any case, and a trailing backslash";
  EXPECT_EQ(Open("Nowhere"), kErrorFileNotFound);
  std::array<char, 2> small{};  // room for one character and the NUL
  std::uint32_t length = small.size();
  EXPECT_EQ(registry.EnumKey(key.Get(), 4, small.data(), &length), kErrorMoreData) << "B2";
  // RegOpenKeyA with no name hands back the handle it was given.
  for (RegKey parent : {key.Get(), kHkeyLocalMachine}) {
    RegKey same = kNullKey;
    EXPECT_EQ(registry.OpenKey(parent, nullptr, &same), kErrorSuccess);
    EXPECT_EQ(same, parent);
  }
  EXPECT_NE(registry.DeleteKey(key.Get(), "b"), kErrorSuccess) << "a key with subkeys stays";
  EXPECT_EQ(registry.DeleteKey(key.Get(), "b\\inner"), kErrorSuccess);
  EXPECT_EQ(registry.DeleteKey(key.Get(), "b\\inner"), kErrorFileNotFound);
}

TEST_F(Contract, ValuesReadBackAsTheirTypeAndBytesOrAskForMoreRoomAndGoByNameInAnyCase) {
  const std::vector<std::uint8_t> gbk = {'C', ':', 0xC0, 0xA9, 0}, dword = {2, 0, 0, 0}, binary = {'C', 0, 0xFF};
  for (const auto& [type, data] : {std::pair{kRegSz, gbk}, {kRegDword, dword}, {kRegBinary, binary}}) {
    ASSERT_EQ(registry.SetValue(key.Get(), "Value", type, data.data(), data.size()), kErrorSuccess);
    std::vector<std::uint8_t> read(64, 0xEE);
    std::uint32_t size = read.size(), readType = 0;
    EXPECT_EQ(registry.QueryValue(key.Get(), "VALUE", &readType, read.data(), &size), kErrorSuccess);
    EXPECT_EQ(readType, type);
    EXPECT_EQ(std::vector<std::uint8_t>(read.begin(), read.begin() + size), data) << type;
  }
  std::array<std::uint8_t, 2> buffer{};
  std::uint32_t size = buffer.size(), type = 0, count = 0;
  EXPECT_EQ(registry.QueryValue(key.Get(), "Value", &type, buffer.data(), &size), kErrorMoreData);
  EXPECT_EQ(size, 3u) << "the size needed";
  EXPECT_EQ(registry.QueryValue(key.Get(), "Missing", &type, buffer.data(), &size), kErrorFileNotFound);
  EXPECT_EQ(registry.QueryValueCount(key.Get(), &count), kErrorSuccess);
  EXPECT_EQ(count, 1u);
  EXPECT_EQ(registry.DeleteValue(key.Get(), "VALUE"), kErrorSuccess);
  EXPECT_EQ(registry.DeleteValue(key.Get(), "Value"), kErrorFileNotFound);
}

TEST_F(Contract, ListingsGiveDotEntriesFirstThenNamesSortedWithoutRegardToCaseAndFoldersComeOneLevelAtATime) {
  for (const char* name : {"b.txt", "A.txt", "c", "B2.dat", "a1.txt", "Zed.txt", "_x.txt", "~t.txt"}) Write(name, name);
  ASSERT_EQ(files.MakeDirectory(In("sub")), kErrorSuccess);
  EXPECT_EQ(List("*.*"), (Names{"./", "../", "A.txt", "a1.txt", "b.txt", "B2.dat", "c", "sub/", "Zed.txt", "_x.txt", "~t.txt"}));
  EXPECT_EQ(List("SUB"), Names{"sub/"}) << "a path without wildcards: that entry alone";
  EXPECT_EQ(List("none.txt"), Names{"error 2"});
  EXPECT_EQ(List("none\\*.*"), Names{"error 3"});
  EXPECT_EQ(files.MakeDirectory(In("sub")), kErrorAlreadyExists);
  EXPECT_EQ(files.MakeDirectory(In("two\\levels")), kErrorPathNotFound);
  ASSERT_EQ(files.MakeProtectedDirectory(In("p")), kErrorSuccess);
  EXPECT_EQ(files.MakeProtectedDirectory(In("p")), kErrorAlreadyExists);
  EXPECT_EQ(files.GetAttributes(In("p")), kFileAttributeDirectory);
  // Full control for the system, nothing for everyone. Wine keeps access as a Unix mode: it shows
  // the system and the owner (and everyone, for a folder made plainly), never the groups.
  const std::string access = machine.AccessList(In("p"));
  EXPECT_NE(access.find("(A;OICI;FA;;;SY)"), std::string::npos) << access;
  EXPECT_EQ(access.find(";WD)"), std::string::npos) << access;
  // Only an empty folder is removed.
  Write("sub\\f", "x");
  EXPECT_EQ(files.RemoveFolder(In("sub")), kErrorDirNotEmpty);
  EXPECT_EQ(files.RemoveFolder(In("sub\\f")), kErrorDirectory);
  EXPECT_EQ(files.Delete(In("sub\\f")), kErrorSuccess);
  EXPECT_EQ(files.RemoveFolder(In("sub")), kErrorSuccess);
  EXPECT_EQ(files.RemoveFolder(In("sub")), kErrorFileNotFound);
}

TEST_F(Contract, CopiesOverwriteUnlessToldNotToAndAttributesTravelWithThemAndFilesAreReadWithinALimit) {
  Write("a.arx", "new");
  Write("b.arx", "record");
  EXPECT_EQ(Contents("b.arx"), "record");
  EXPECT_EQ(Contents("b.arx", 5), "error " + std::to_string(kErrorFileTooLarge));
  EXPECT_EQ(Contents("none.arx"), "error 2");
  EXPECT_EQ(files.Copy(In("a.arx"), In("b.arx"), true), kErrorFileExists);
  EXPECT_EQ(files.Copy(In("a.arx"), In("b.arx"), false), kErrorSuccess);
  EXPECT_EQ(Contents("b.arx"), "new");
  ASSERT_EQ(files.MakeDirectory(In("d.arx")), kErrorSuccess);
  EXPECT_EQ(files.Copy(In("a.arx"), In("d.arx"), false), kErrorAccessDenied) << "onto a folder";
  EXPECT_EQ(files.Copy(In("none.arx"), In("e.arx"), false), kErrorFileNotFound);
  EXPECT_EQ(files.Copy(In("a.arx"), In("none\\e.arx"), false), kErrorPathNotFound);
  const std::uint32_t readOnlyHidden = kFileAttributeReadOnly | kFileAttributeHidden;
  ASSERT_EQ(files.SetAttributes(In("b.arx"), readOnlyHidden), kErrorSuccess);
  EXPECT_EQ(files.Delete(In("b.arx")), kErrorAccessDenied);
  // Windows refuses to overwrite a read-only file. Wine keeps the mark in the Unix file mode,
  // which does not bind root: run by root it writes through.
  const ErrorCode overwritten = files.Copy(In("a.arx"), In("b.arx"), false);
  EXPECT_TRUE(overwritten == kErrorAccessDenied || (overwritten == kErrorSuccess && machine.isWine)) << overwritten;
  const std::uint32_t before = files.GetAttributes(In("b.arx"));
  EXPECT_EQ(before & readOnlyHidden, readOnlyHidden);
  EXPECT_EQ(files.SetAttributes(In("b.arx"), before & ~kFileAttributeReadOnly), kErrorSuccess);
  ASSERT_EQ(files.Copy(In("b.arx"), In("c.arx"), false), kErrorSuccess);
  EXPECT_EQ(files.GetAttributes(In("c.arx")), before & ~kFileAttributeReadOnly) << "attributes travel";
}

TEST_F(Contract, TheZoneMarkTheProgramPathTheProcessListAndFullPaths) {
  // Windows keeps the mark in a stream of the file; Wine has none, and there the name is a
  // file of its own. Deleting it by that name behaves the same.
  Write("a.arx", "program");
  EXPECT_EQ(files.Delete(In("a.arx:Zone.Identifier")), kErrorFileNotFound);
  Write("a.arx:Zone.Identifier", "[ZoneTransfer]\r\nZoneId=3\r\n");
  EXPECT_EQ(files.Delete(In("a.arx:Zone.Identifier")), kErrorSuccess);
  EXPECT_EQ(List("a.arx"), Names{"a.arx"});
  std::array<char, 261> path{};
  const std::uint32_t length = files.ModuleFileName(path.data(), path.size());
  const std::string whole(path.data(), std::min<std::size_t>(length, path.size()));
  const std::string name = whole.substr(whole.rfind('\\') + 1);
  EXPECT_TRUE(EqualsIgnoringCase(name, "contract_tests.exe", IsCp936LeadByte)) << whole;
  EXPECT_EQ(files.Delete(whole), kErrorAccessDenied) << "the running program's file";
  EXPECT_EQ(files.ModuleFileName(path.data(), 8), 8u) << "cut, with no room for its zero";
  EXPECT_EQ(std::string(path.data(), 8), whole.substr(0, 8));
  const auto running = machine.processes.ExecutableNames();
  ASSERT_TRUE(running.has_value());
  EXPECT_TRUE(std::any_of(running->begin(), running->end(), [&](const std::string& process) {
    return EqualsIgnoringCase(process, name, IsCp936LeadByte);
  }));
  // Paths are made full against the current folder, a trailing backslash kept.
  char full[260] = {};
  EXPECT_EQ(files.FullPathName(In("a\\..\\b\\"), full, sizeof full), In("b\\").size());
  EXPECT_EQ(std::string(full), In("b\\"));
  EXPECT_EQ(files.FullPathName("C:\\", full, sizeof full), 3u);
  EXPECT_EQ(files.FullPathName(In("b"), full, 4), In("b").size() + 1) << "too small: the size needed";
  const std::uint32_t relative = files.FullPathName("rel\\x", full, sizeof full);
  EXPECT_EQ(std::string(full).substr(1, 2) + std::string(full).substr(relative - 6), ":\\\\rel\\x");
}

}  // namespace
