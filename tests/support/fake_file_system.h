// An in-memory file system that behaves as Windows does for the calls the program makes.
//  - Names are case-insensitive and keep the case they were made with; paths are split at
//    backslashes found by characters (GBK), so a trail byte 0x5C is no separator.
//  - A listing of "folder\*.*" reports "." and ".." first and then the folder's entries
//    sorted by their upper-cased bytes, which is the order NTFS and Wine give for ASCII
//    names (Wine sorts every listing). Names with Chinese characters sort by their GBK bytes
//    here, by UTF-16 there, so tests must not rely on the order of two such names. A
//    listing reports the entries that existed when it was opened.
//  - New files carry the archive attribute and folders the directory attribute alone; a
//    copy takes the source's attributes and streams along.
//  - A read-only file cannot be overwritten or deleted (as on Windows; Wine run by root
//    writes through when copying, see the contract suite).
//  - Alternate data streams are modelled as Windows has them: "file:stream" names a stream,
//    which no listing reports.
//  - GetModuleFileNameA cuts a long path without a terminating zero, as Wine does.
// Faults can be planted per path or, through a FaultPlan, on any numbered call; every open
// listing is counted until it is closed.
#pragma once

#include "support/fault_plan.h"
#include "support/journal.h"

#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "platform/file_system.h"

namespace fakes {

struct FileFaults {
  bool inUse = false;     // held open without sharing: copies from and onto it fail, so does deleting it
  bool denyWrite = false; // its attributes cannot change; in a folder, nothing can be created
  bool failList = false;  // a folder whose listing cannot be opened
};

class FakeFileSystem final : public platform::FileSystem {
 public:
  FakeFileSystem();
  ~FakeFileSystem() override;

  std::string modulePath = "C:\\Setup\\SetUp.exe";
  Journal* journal = nullptr;  // records folder creations and copies
  FaultPlan* faultPlan = nullptr;

  // Seeding: missing parent folders are made. "file:stream" adds a stream to an existing file.
  void AddFolder(const std::string& path,
                 std::uint32_t attributes = platform::kFileAttributeDirectory);
  void AddFile(const std::string& path, const std::string& contents = "",
               std::uint32_t attributes = platform::kFileAttributeArchive);
  // Inspection.
  bool Exists(const std::string& path) const;
  std::optional<std::string> Contents(const std::string& path) const;
  std::vector<std::string> Names(const std::string& folder) const;  // in listing order
  // The faults of an existing path.
  FileFaults& Faults(const std::string& path);
  int OpenFindCount() const { return static_cast<int>(m_finds.size()); }

  std::uint32_t ModuleFileName(char* buffer, std::uint32_t size) override;
  platform::ErrorCode FindFirst(const std::string& pattern, platform::FindHandle* handle,
                                platform::FoundEntry* entry) override;
  platform::ErrorCode FindNext(platform::FindHandle handle, platform::FoundEntry* entry) override;
  platform::ErrorCode CloseFind(platform::FindHandle handle) override;
  std::uint32_t GetAttributes(const std::string& path) override;
  platform::ErrorCode SetAttributes(const std::string& path, std::uint32_t attributes) override;
  platform::ErrorCode Copy(const std::string& from, const std::string& to,
                           bool failIfExists) override;
  platform::ErrorCode Delete(const std::string& path) override;
  platform::ErrorCode MakeDirectory(const std::string& path) override;

 private:
  struct Node;
  struct NameLess {
    bool operator()(const std::string& a, const std::string& b) const;
  };
  struct Listing {
    std::vector<platform::FoundEntry> entries;
    std::size_t next = 0;
  };

  Node* Find(const std::string& path) const;
  Node* FolderOf(const std::string& path, std::string* leaf) const;
  Node& Make(const std::string& path, std::uint32_t attributes);
  platform::ErrorCode Create(const std::string& path, std::uint32_t attributes, Node** made);
  static platform::FoundEntry EntryOf(const Node& node);

  std::unique_ptr<Node> m_root;
  std::map<platform::FindHandle, Listing> m_finds;
  platform::FindHandle m_nextFind = 0x2000;
};

}  // namespace fakes
