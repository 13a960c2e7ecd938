// What the program relies on from the registry, the file calls and the process list, checked
// against the in-memory machine natively and against the Win32 services under Wine.
#include <gtest/gtest.h>

#include <algorithm>

#include "platform/file_contents.h"
#include "platform/multibyte.h"
#include "platform/paths.h"

#ifdef _WIN32
#include <aclapi.h>
#include <sddl.h>
#include <windows.h>

#include <filesystem>

#include "platform/win32/win32_services.h"

// The Win32 services, with a scratch folder and key of the run's own that go when it ends.
struct Machine : platform::Win32Services {
  Machine() {
    std::filesystem::remove_all(scratch, ignored);
    std::filesystem::create_directory(scratch, ignored);
  }
  ~Machine() {
    std::filesystem::remove_all(scratch, ignored);
    RegDeleteTreeA(HKEY_CURRENT_USER, scratchKey.c_str());
  }

  // Gives everyone the right to change what `path` holds.
  static void LetOthersWrite(const std::string& path) {
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    BOOL present = FALSE, defaulted = FALSE;
    PACL dacl = nullptr;
    ConvertStringSecurityDescriptorToSecurityDescriptorA("D:(A;OICI;FA;;;WD)", SDDL_REVISION_1, &descriptor, nullptr);
    GetSecurityDescriptorDacl(descriptor, &present, &dacl, &defaulted);
    SetNamedSecurityInfoA(const_cast<char*>(path.c_str()), SE_FILE_OBJECT, DACL_SECURITY_INFORMATION, nullptr, nullptr, dacl, nullptr);
    LocalFree(descriptor);
  }

  const bool wine = GetProcAddress(GetModuleHandleA("ntdll.dll"), "wine_get_version") != nullptr;
  // A folder made with a long name, and the short one the file system gives it.
  std::string ShortName(const std::string& folder) {
    CreateDirectoryA(folder.c_str(), nullptr);
    char shortName[MAX_PATH] = {};
    return std::string(shortName, GetShortPathNameA(folder.c_str(), shortName, sizeof shortName));
  }

  const std::string id = std::to_string(GetCurrentProcessId()), scratch = environment.TempFolder() + "vortel-contract-" + id,
                    scratchKey = "Software\\VortelContractTest" + id;
  std::error_code ignored;
};
#else
#include "support/world.h"

// The in-memory machine, holding the test program's file and a scratch folder.
struct Machine : fakes::World {
  Machine() {
    files.modulePath = "C:\\build\\tests\\contract_tests.exe";
    files.AddFile(files.modulePath, "the program");
    files.AddFolder(scratch);
    processes.running = {"[System Process]", "explorer.exe", "contract_tests.exe"};
  }
  void LetOthersWrite(const std::string& path) {
    files.writableByOthers.insert(path);
    files.protectedFolders.erase(path);
  }
  const bool wine = false;
  std::string ShortName(const std::string& folder) {
    files.AddFolder(folder);
    files.AddShortName(folder, "VORTEL~1");
    return folder.substr(0, folder.rfind('\\') + 1) + "VORTEL~1";
  }

  const std::string scratch = "C:\\users\\tester\\Temp\\contract", scratchKey = "Software\\VortelContractTest";
};
#endif

using namespace platform;
using Names = std::vector<std::string>;

namespace {

class Contract : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(registry.CreateKey(kHkeyCurrentUser, machine.scratchKey.c_str(), kKeyReadWrite, key.Receive()), kErrorSuccess);
  }
  Names SubKeys() {
    Names names;
    char name[256];
    for (std::uint32_t length = 256; registry.EnumKey(key.Get(), names.size(), name, &length) == kErrorSuccess; length = 256) {
      names.emplace_back(name, length);
    }
    std::uint32_t count = 0;
    EXPECT_TRUE(registry.QuerySubKeyCount(key.Get(), &count) == kErrorSuccess && count == names.size()) << count;
    return names;
  }
  // Opens a key below the scratch key (RegOpenKeyA and RegOpenKeyExA alike) or makes it: a handle exactly on success.
  ErrorCode Open(const std::string& path, bool create = false) {
    ScopedRegKey opened(registry), openedEx(registry);
    const ErrorCode result = create ? registry.CreateKey(key.Get(), path.c_str(), kKeyReadWrite, opened.Receive())
                                    : registry.OpenKey(key.Get(), path.c_str(), opened.Receive());
    EXPECT_EQ(opened.IsOpen(), result == kErrorSuccess);
    EXPECT_EQ(registry.OpenKeyEx(key.Get(), path.c_str(), kKeyRead, openedEx.Receive()), create ? kErrorSuccess : result);
    return result;
  }
  // A value of the scratch key as "type:bytes", read into `room` bytes, or the error that refused it.
  std::string Query(const char* name, std::uint32_t room = 64) {
    std::vector<std::uint8_t> data(room);
    std::uint32_t size = room, type = 0;
    const ErrorCode read = registry.QueryValue(key.Get(), name, &type, data.data(), &size);
    return read != kErrorSuccess ? "error " + std::to_string(read)
                                 : std::to_string(type) + ":" + std::string(data.begin(), data.begin() + size);
  }
  std::string In(const std::string& name) { return machine.scratch + "\\" + name; }
  void Write(const std::string& name, const std::string& contents) {
    ScopedFile file(files);
    ASSERT_EQ(files.CreateFileForWriting(In(name), WriteMode::Replace, file.Receive()), kErrorSuccess);
    EXPECT_EQ(files.WriteToFile(file.Get(), contents), kErrorSuccess);
  }
  std::string Contents(const std::string& name, std::size_t limit = 6) {
    std::string text;
    const ErrorCode read = ReadWholeFile(files, In(name), limit, &text);
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

TEST_F(Contract, KeysIgnoreCaseEnumerateSortedAndCreateAndDeleteAndValuesReadBackAsStored) {
  const std::string shallow = "A\x9C\x5C";  // A淺: its trail byte is a backslash
  for (const char* name : {"b\\Inner", "A", shallow.c_str(), "B2", "a1"}) ASSERT_EQ(Open(name, true), kErrorSuccess);
  EXPECT_EQ(SubKeys(), (Names{"A", "a1", shallow, "b", "B2"})) << "parents are made";
  EXPECT_EQ(Open("B\\INNER\\"), kErrorSuccess) << "any case, and a trailing backslash";
  EXPECT_EQ(Open("Nowhere"), kErrorFileNotFound);
  RegKey same = kNullKey, sameMachine = kNullKey;  // RegOpenKeyA with no name hands back the handle it was given
  EXPECT_TRUE(registry.OpenKey(key.Get(), nullptr, &same) == kErrorSuccess && same == key.Get());
  EXPECT_TRUE(registry.OpenKey(kHkeyLocalMachine, nullptr, &sameMachine) == kErrorSuccess && sameMachine == kHkeyLocalMachine);
  EXPECT_NE(registry.DeleteKey(key.Get(), "b"), kErrorSuccess) << "a key with subkeys stays";
  EXPECT_EQ(registry.DeleteKey(key.Get(), "b\\inner"), kErrorSuccess);
  const std::vector<std::uint8_t> gbk = {'C', ':', 0xC0, 0xA9, 0}, dword = {2, 0, 0, 0}, binary = {'C', 0, 0xFF};
  for (const auto& [type, data] : {std::pair{kRegSz, gbk}, {kRegDword, dword}, {kRegBinary, binary}}) {
    ASSERT_EQ(registry.SetValue(key.Get(), "Value", type, data.data(), data.size()), kErrorSuccess);
    EXPECT_EQ(Query("VALUE"), std::to_string(type) + ":" + std::string(data.begin(), data.end()));
  }
  EXPECT_EQ(Query("Value", 2), "error " + std::to_string(kErrorMoreData));
  EXPECT_EQ(Query("Missing"), "error 2");
  std::uint32_t count = 0;
  EXPECT_TRUE(registry.QueryValueCount(key.Get(), &count) == kErrorSuccess && count == 1) << count;
  EXPECT_EQ(registry.DeleteValue(key.Get(), "VALUE"), kErrorSuccess);
}

TEST_F(Contract, FilesAndFoldersAreListedMadeCopiedReadAndRemovedAsTheProgramExpects) {
  for (const char* name : {"b.txt", "A.txt", "c", "B2.dat", "a1.txt", "Zed.txt", "_x.txt", "~t.txt"}) Write(name, name);
  ASSERT_EQ(files.MakeDirectory(In("sub")), kErrorSuccess);
  EXPECT_EQ(List("*.*"), (Names{"./", "../", "A.txt", "a1.txt", "b.txt", "B2.dat", "c", "sub/", "Zed.txt", "_x.txt", "~t.txt"}));
  EXPECT_EQ(List("SUB"), Names{"sub/"}) << "a path without wildcards: that entry alone";
  EXPECT_EQ(files.MakeDirectory(In("sub")), kErrorAlreadyExists);
  EXPECT_EQ(files.MakeDirectory(In("two\\levels")), kErrorPathNotFound);
  // Only an empty folder is removed.
  Write("sub\\f", "x");
  EXPECT_EQ(files.RemoveFolder(In("sub")), kErrorDirNotEmpty);
  EXPECT_EQ(files.RemoveFolder(In("sub\\f")), kErrorDirectory);
  EXPECT_EQ(files.Delete(In("sub\\f")), kErrorSuccess);
  EXPECT_EQ(files.RemoveFolder(In("sub")), kErrorSuccess);
  EXPECT_EQ(files.RemoveFolder(In("sub")), kErrorFileNotFound);
  // Copies overwrite unless told not to, and attributes travel with them; files are read within a limit.
  Write("a.arx", "new");
  Write("b.arx", "record");
  EXPECT_EQ(Contents("b.arx") + ", " + Contents("b.arx", 5) + ", " + Contents("none.arx"),
            "record, error " + std::to_string(kErrorFileTooLarge) + ", error 2");
  EXPECT_EQ(files.Copy(In("a.arx"), In("b.arx"), true), kErrorFileExists);
  ScopedFile again(files);
  EXPECT_EQ(files.CreateFileForWriting(In("b.arx"), WriteMode::New, again.Receive()), kErrorFileExists) << "a new file only";
  EXPECT_EQ(files.Copy(In("a.arx"), In("b.arx"), false), kErrorSuccess);
  EXPECT_EQ(Contents("b.arx"), "new");
  ASSERT_EQ(files.MakeDirectory(In("d.arx")), kErrorSuccess);
  EXPECT_EQ(files.Copy(In("a.arx"), In("d.arx"), false), kErrorAccessDenied) << "onto a folder";
  EXPECT_EQ(files.Copy(In("none.arx"), In("e.arx"), false), kErrorFileNotFound);
  const std::uint32_t readOnlyHidden = kFileAttributeReadOnly | kFileAttributeHidden;
  ASSERT_EQ(files.SetAttributes(In("b.arx"), readOnlyHidden), kErrorSuccess);
  EXPECT_EQ(files.Delete(In("b.arx")), kErrorAccessDenied);
  const std::uint32_t before = files.GetAttributes(In("b.arx"));
  EXPECT_EQ(before & readOnlyHidden, readOnlyHidden);
  EXPECT_EQ(files.SetAttributes(In("b.arx"), before & ~kFileAttributeReadOnly), kErrorSuccess);
  ASSERT_EQ(files.Copy(In("b.arx"), In("c.arx"), false), kErrorSuccess);
  EXPECT_EQ(files.GetAttributes(In("c.arx")), before & ~kFileAttributeReadOnly) << "attributes travel";
  // The copy that digests the bytes on their way: as Copy over the destination, but the bytes alone.
  FileDigest digest, written;
  EXPECT_EQ(files.CopyWithDigest(In("a.arx"), In("d.arx"), false, &digest), kErrorAccessDenied) << "onto a folder";
  EXPECT_EQ(files.CopyWithDigest(In("none.arx"), In("e.arx"), false, &digest), kErrorFileNotFound);
  Write("b.arx:Zone.Identifier", "[ZoneTransfer]\r\nZoneId=3\r\n");
  ASSERT_EQ(files.CopyWithDigest(In("b.arx"), In("e.arx"), true, &digest), kErrorSuccess);
  EXPECT_EQ(files.GetAttributes(In("e.arx")), before & ~kFileAttributeReadOnly);
  EXPECT_EQ(files.Delete(In("e.arx:Zone.Identifier")), kErrorFileNotFound) << "no zone mark";
  ASSERT_EQ(files.SetAttributes(In("e.arx"), kFileAttributeReadOnly), kErrorSuccess);
  EXPECT_EQ(files.CopyWithDigest(In("a.arx"), In("e.arx"), true, &digest), kErrorFileExists) << "read-only, but there";
  EXPECT_EQ(files.Copy(In("a.arx"), In("e.arx"), true), kErrorFileExists);
  EXPECT_EQ(files.SetAttributes(In("e.arx"), kFileAttributeNormal), kErrorSuccess);
  std::string big(3 * 1024 * 1024 + 7, '\0');  // more than one piece of a copy, and a stripe cut short
  for (std::size_t at = 0; at < big.size(); ++at) big[at] = static_cast<char>(at * 2654435761u >> 24);
  Write("big", big);
  ASSERT_EQ(files.CopyWithDigest(In("big"), In("big2"), false, &digest), kErrorSuccess);
  EXPECT_TRUE(DigestFile(files, In("big2"), &written) == kErrorSuccess && digest == written && digest == DigestOf(big));
  std::uint64_t size = 0;  // as the folder lists it: what a journal is appended to or begun by
  EXPECT_TRUE(SizeOfFile(files, In("big2"), &size) == kErrorSuccess && size == big.size()) << size;
  EXPECT_EQ(SizeOfFile(files, In("none"), &size), kErrorFileNotFound);
  // Windows keeps the mark in a stream of the file; Wine, as a file of its own: deleting it behaves the same.
  EXPECT_EQ(files.Delete(In("a.arx:Zone.Identifier")), kErrorFileNotFound);
  Write("a.arx:Zone.Identifier", "[ZoneTransfer]\r\nZoneId=3\r\n");
  EXPECT_EQ(files.Delete(In("a.arx:Zone.Identifier")), kErrorSuccess);
  EXPECT_EQ(List("a.arx"), Names{"a.arx"});
}

TEST_F(Contract, TheProgramPathTheProcessListAndFullPaths) {
  char path[261] = {};
  const std::string whole(path, files.ModuleFileName(path, sizeof path)), name = whole.substr(whole.rfind('\\') + 1);
  EXPECT_TRUE(EqualsIgnoringCase(name, "contract_tests.exe", IsCp936LeadByte)) << whole;
  EXPECT_EQ(files.Delete(whole), kErrorAccessDenied) << "the running program's file";
  EXPECT_EQ(std::string(path, files.ModuleFileName(path, 8)), whole.substr(0, 8)) << "cut, with no room for its zero";
  const Names running = machine.processes.ExecutableNames().value_or(Names{});
  const auto isThisProgram = [&](const std::string& process) { return EqualsIgnoringCase(process, name, IsCp936LeadByte); };
  EXPECT_TRUE(std::any_of(running.begin(), running.end(), isThisProgram));
  // Paths are made full against the current folder, a trailing backslash kept.
  char full[260] = {};
  EXPECT_EQ(std::string(full, files.FullPathName(In("a\\..\\b\\"), full, sizeof full)), In("b\\"));
  EXPECT_EQ(std::string(full, files.FullPathName("C:\\", full, sizeof full)), "C:\\");
  EXPECT_EQ(files.FullPathName(In("b"), full, 4), In("b").size() + 1) << "too small: the size needed";
  const std::uint32_t relative = files.FullPathName("rel\\x", full, sizeof full);
  EXPECT_EQ(std::string(full).substr(1, 2) + std::string(full).substr(relative - 6), ":\\\\rel\\x");
  // A folder's short name leads to it: the long spelling comes back, and it is one and the same object.
  const std::string folder = In("Vortel Tools Folder"), shortName = machine.ShortName(folder);
  EXPECT_NE(shortName, folder);
  EXPECT_EQ(std::string(full, files.LongPathName(shortName, full, sizeof full)), folder);
  EXPECT_EQ(files.LongPathName(In("none"), full, sizeof full), 0u);
  FileId first, second, other;
  EXPECT_EQ(files.Identify(folder, &first), kErrorSuccess);
  EXPECT_EQ(files.Identify(shortName, &second), kErrorSuccess);
  EXPECT_EQ(files.Identify(machine.scratch, &other), kErrorSuccess);
  EXPECT_TRUE(first == second && !(first == other));
  EXPECT_EQ(files.Identify(In("none"), &other), kErrorFileNotFound);
}

// What the journal, the install folder's access list, the run guard and the finishing copy rely on.
TEST_F(Contract, FilesAreWrittenOnReadInPiecesMovedAndProtectedAndARunIsGuarded) {
  ScopedFile file(files);
  ASSERT_EQ(files.CreateFileForWriting(In("j"), WriteMode::New, file.Receive()), kErrorSuccess);
  EXPECT_EQ(files.WriteToFile(file.Get(), "one\r\n"), kErrorSuccess);
  file.Reset();
  ASSERT_EQ(files.CreateFileForWriting(In("j"), WriteMode::Append, file.Receive()), kErrorSuccess);
  EXPECT_EQ(files.WriteToFile(file.Get(), "two\r\n"), kErrorSuccess);
  EXPECT_EQ(files.FlushFile(file.Get()), kErrorSuccess);
  file.Reset();
  ASSERT_EQ(files.OpenFileForReading(In("j"), file.Receive()), kErrorSuccess);
  char piece[4] = {};
  std::uint32_t read = 0;
  std::string pieces;
  while (files.ReadFromFile(file.Get(), piece, sizeof piece, &read) == kErrorSuccess && read > 0)
    pieces += "[" + std::string(piece, read) + "]";
  file.Reset();
  EXPECT_EQ(pieces, "[one\r][\ntwo][\r\n]");
  EXPECT_EQ(files.OpenFileForReading(In("none"), file.Receive()), kErrorFileNotFound);
  // A move replaces only when told to; one at Windows' next start is accepted (Windows keeps it for then).
  Write("k", "k");
  EXPECT_EQ(files.Move(In("j"), In("k"), 0), kErrorAlreadyExists);
  ASSERT_EQ(files.SetAttributes(In("k"), kFileAttributeReadOnly), kErrorSuccess);
  EXPECT_EQ(files.Move(In("j"), In("k"), 0), kErrorAlreadyExists) << "there, before it is read-only";
  ASSERT_EQ(files.SetAttributes(In("k"), kFileAttributeNormal), kErrorSuccess);
  // A file held open for writing (a journal being written) is neither replaced, written again nor deleted meanwhile.
  ASSERT_EQ(files.CreateFileForWriting(In("k"), WriteMode::Append, file.Receive()), kErrorSuccess);
  ScopedFile second(files);
  EXPECT_EQ(files.Move(In("j"), In("k"), kMoveReplaceExisting), kErrorAccessDenied);
  EXPECT_EQ(files.CreateFileForWriting(In("k"), WriteMode::Replace, second.Receive()), kErrorSharingViolation);
  EXPECT_EQ(files.Delete(In("k")), kErrorSharingViolation);
  file.Reset();
  EXPECT_EQ(files.Move(In("j"), In("k"), kMoveReplaceExisting | kMoveWriteThrough), kErrorSuccess);
  EXPECT_EQ(List("*.*"), (Names{"./", "../", "k"}));
  EXPECT_EQ(files.Move(In("k"), "", kMoveDelayUntilReboot), kErrorSuccess);
  // The protected access list, read back whole: protected from inheritance, naming no single account; nobody else
  // may write in the folder, and what it holds takes its list.
  const std::string kProtected = "D:P(A;OICI;FA;;;SY)(A;OICI;FA;;;BA)(A;OICI;0x1200a9;;;BU)(A;OICI;0x1200a9;;;OW)";
  std::string access;
  std::uint32_t others = kRightsAll;
  ASSERT_EQ(files.MakeProtectedDirectory(In("p")), kErrorSuccess);
  EXPECT_EQ(files.MakeProtectedDirectory(In("p")), kErrorAlreadyExists);
  // Wine keeps no access list (it keeps the file mode): there only the reading is shown.
  const auto protectedList = [&] {
    return files.QueryAccessText(In("p"), &access) == kErrorSuccess && (access == kProtected || machine.wine);
  };
  EXPECT_TRUE(protectedList()) << access;
  Write("p\\f", "f");
  EXPECT_EQ(files.InheritAccess(In("p\\f")), kErrorSuccess);
  EXPECT_TRUE(files.QueryOthersRights(In("p"), &others) == kErrorSuccess && others == 0) << others;
  machine.LetOthersWrite(In("p"));
  EXPECT_TRUE(files.QueryOthersRights(In("p"), &others) == kErrorSuccess && ((others & kRightDelete) || machine.wine)) << others;
  EXPECT_TRUE(files.QueryAccessText(In("p"), &access) == kErrorSuccess && access.rfind("D:P", 0) != 0) << access;
  EXPECT_EQ(files.ProtectFolder(In("p")), kErrorSuccess);
  EXPECT_TRUE(protectedList()) << access;
  EXPECT_TRUE(files.QueryOthersRights(In("p"), &others) == kErrorSuccess && (others & kRightsWriting) == 0) << others;
  EXPECT_NE(files.GetAttributes("C:\\"), kInvalidFileAttributes);
  EXPECT_EQ(files.GetAttributes("Q:\\"), kInvalidFileAttributes) << "a drive that does not exist";
  // The guard of a run: one holder at a time. A process that is gone has ended; a program that is not there is not started.
  const std::string guard = "Local\\VortelContract" + machine.scratch.substr(machine.scratch.size() - 4);
  EXPECT_EQ(machine.processes.HoldNamedMutex(guard), kErrorSuccess);
  EXPECT_EQ(machine.processes.HoldNamedMutex(guard), kErrorAlreadyExists);
  // Wine makes no private namespace (CreateBoundaryDescriptorW fails): the program then keeps the guards above.
  if (!machine.wine) {
    EXPECT_EQ(machine.processes.HoldAdministratorsMutex(guard.substr(6)), kErrorSuccess) << "in the administrators' namespace";
    EXPECT_EQ(machine.processes.HoldAdministratorsMutex(guard.substr(6)), kErrorAlreadyExists);
  } else {
    EXPECT_NE(machine.processes.HoldAdministratorsMutex(guard.substr(6)), kErrorSuccess);
  }
  EXPECT_EQ(machine.processes.WaitForProcessEnd(0x7FFFFFF0, 1000), kErrorSuccess);
  EXPECT_EQ(machine.processes.StartProgram(In("none.exe"), ""), kErrorFileNotFound);
}

// What a hostile journal line names is refused by the plain-path rule, because Windows would take it for another
// path; a file or folder opened as it is tells where it really lies, is read and deleted through its handle.
TEST_F(Contract, HostilePathsAreFoldedElsewhereAndEntriesAreCheckedAndDeletedThroughOneHandle) {
  char full[520] = {};
  const std::string base = machine.scratch;
  // clang-format off
  const struct { std::string line, windowsTakesItAs; } hostile[] = {
      {base + "\\a/../../victim", base.substr(0, base.rfind('\\')) + "\\victim"},
      {base + "\\a\\..\\..\\victim", base.substr(0, base.rfind('\\')) + "\\victim"},
      {base + "\\victim." , base + "\\victim"},
      {base + "\\victim. . ", base + "\\victim"},
      {base + std::string("\\victim\0\\..\\x", 12), base + "\\victim"},
      {base + "\\NUL", "\\\\.\\NUL"},
      {base + "\\con.txt", "\\\\.\\CON"},
      {base + "\\COM1 .log", "\\\\.\\COM1"},
  };
  // clang-format on
  for (const auto& [line, windows] : hostile) {
    const std::string taken(full, files.FullPathName(line, full, sizeof full));
    EXPECT_TRUE(EqualsIgnoringCase(taken, windows, IsCp936LeadByte)) << line << " is taken as " << taken;
    EXPECT_FALSE(IsPlainPath(line, IsCp936LeadByte)) << line;
  }
  for (const char* plain : {"\\Vortel\\V-Trelmox\\Vortel2008.ARX", "\\a b\\c.d\\NULL\\COM10",
                            "\\x\\"
                            "\x9C\x5C"
                            "\\y"})
    EXPECT_TRUE(IsPlainPath("C:" + std::string(plain), IsCp936LeadByte)) << plain;
  for (const char* other : {"\\\\?\\C:\\x", "\\\\.\\C:\\x", "C:\\x\\\\y", "C:\\x\\y:s", "C:x", "C:\\x\\\x01"})
    EXPECT_FALSE(IsPlainPath(other, IsCp936LeadByte)) << other;
  // A file opened as it is: where it really lies, read and deleted through its handle, neither it nor its folder renamed meanwhile.
  Write("v", "victim");
  ASSERT_EQ(files.MakeDirectory(In("out")), kErrorSuccess);
  Write("out\\v", "victim");
  ScopedFile entry(files);
  std::string final;
  FileDigest digest;
  ASSERT_EQ(files.OpenEntry(In("out\\v"), entry.Receive()), kErrorSuccess);
  EXPECT_TRUE(files.FinalPathName(entry.Get(), &final) == kErrorSuccess && EqualsIgnoringCase(final, In("out\\v"), IsCp936LeadByte))
      << final;
  EXPECT_TRUE(DigestOpenFile(files, entry.Get(), &digest) == kErrorSuccess && digest == DigestOf("victim"));
  // Windows keeps a folder holding an open file from being renamed; Wine does not (nothing relies on it).
  if (!machine.wine) {
    EXPECT_EQ(files.Move(In("out"), In("out2"), 0), kErrorAccessDenied);
  }
  ASSERT_EQ(files.OpenEntry(In("out"), entry.Receive()), kErrorSuccess);
  EXPECT_EQ(files.DeleteOpened(entry.Get()), kErrorDirNotEmpty);
  ASSERT_EQ(files.OpenEntry(In("v"), entry.Receive()), kErrorSuccess);
  EXPECT_EQ(files.Move(In("v"), In("w"), 0), kErrorSharingViolation) << "held open: not renamed meanwhile";
  EXPECT_EQ(files.DeleteOpened(entry.Get()), kErrorSuccess);
  entry.Reset();
  EXPECT_EQ(List("v"), Names{"error 2"});
  EXPECT_EQ(files.OpenEntry(In("v"), entry.Receive()), kErrorFileNotFound);
  // Renamed through its handle onto a free name, never onto one taken: what moves is the file open, whatever its old name
  // names meanwhile; its read-only mark taken off through the handle too.
  Write("r", "r");
  Write("taken", "t");
  ASSERT_EQ(files.OpenEntry(In("r"), entry.Receive()), kErrorSuccess);
  EXPECT_EQ(files.RenameOpened(entry.Get(), In("taken")), kErrorAlreadyExists);
  EXPECT_EQ(files.RenameOpened(entry.Get(), In("s")), kErrorSuccess);
  Write("r", "r2");
  EXPECT_EQ(files.RenameOpened(entry.Get(), In("s2")), kErrorSuccess);
  entry.Reset();
  EXPECT_EQ(Contents("s2") + Contents("r") + Contents("taken"), "rr2t");
  EXPECT_EQ(files.SetAttributes(In("s2"), kFileAttributeReadOnly), kErrorSuccess);
  ASSERT_EQ(files.OpenEntry(In("s2"), entry.Receive()), kErrorSuccess);
  EXPECT_EQ(files.ClearReadOnlyOpened(entry.Get()), kErrorSuccess);
  EXPECT_FALSE(HasAttribute(files.GetAttributes(In("s2")), kFileAttributeReadOnly));
}

// A journal written on one machine is checked on another: XXH3's published answers, from every engine, fed whole or in pieces.
TEST(ContentHash, EveryEngineGivesXxh3sKnownAnswers) {
  std::string bytes(70000, '\0');
  for (std::size_t at = 0; at < bytes.size(); ++at) bytes[at] = static_cast<char>((at * 2654435761u) >> 13);
  const std::pair<std::string, const char*> kKnown[] = {{"", "0:xxh3:2d06800538d394c2"}, {"abc", "3:xxh3:78af5f94892f3950"},
                                                       {bytes.substr(0, 240), "240:xxh3:b714c5fd22744964"}, {bytes, "70000:xxh3:ad5b670987211577"}};
  for (const auto& [part, digest] : kKnown) {
    ContentHash portable(ContentHash::Engine::Portable), vector(ContentHash::Engine::Vector), pieces;
    portable.Add(part.data(), part.size());
    vector.Add(part.data(), part.size());
    for (std::size_t at = 0; at < part.size(); at += 1 + at % 97) pieces.Add(part.data() + at, std::min<std::size_t>(1 + at % 97, part.size() - at));
    EXPECT_EQ(DigestText(portable.Finish()) + " " + DigestText(vector.Finish()), std::string(digest) + " " + digest);
    EXPECT_EQ(DigestText(pieces.Finish()), digest);
  }
}

}  // namespace
