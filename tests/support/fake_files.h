// An in-memory file system answering the program's calls as Windows does: names without regard to case, split by
// characters; "folder\*.*" lists "." and ".." first, then the entries sorted; a copy takes its source's attributes
// and streams ("file:stream"); neither a read-only file nor the running program is overwritten or deleted;
// GetModuleFileNameA cuts a long path without its zero. Fault paths are the paths the calls are given.
#pragma once

#include <utility>

#include "platform/file_system.h"
#include "support/faults.h"

namespace fakes {

class FakeFiles final : public platform::FileSystem {
 public:
  explicit FakeFiles(Faults& faults) : m_faults(faults) {}

  std::string modulePath = "D:\\pkg\\SetUp.exe";
  std::string currentFolder = "D:\\pkg";
  std::set<std::string, NameLess> protectedFolders;  // made with an access list of their own
  std::vector<std::string> atRestart;                // to be deleted when Windows next starts

  // Both make the missing folders above them. "file:stream" adds a stream to a file.
  void AddFolder(const std::string& path, std::uint32_t attributes = kFolder) { Make(path).attributes = attributes | kFolder; }
  void AddFile(const std::string& path, const std::string& contents = "",
               std::uint32_t attributes = platform::kFileAttributeArchive) {
    const std::size_t colon = StreamColon(path);
    if (colon != std::string::npos) {
      Find(path.substr(0, colon))->streams.insert(path.substr(colon + 1));
    } else {
      Node& node = Make(path);
      node.attributes = attributes & ~kFolder;
      node.contents = contents;
    }
  }
  bool Exists(const std::string& path) const { return Find(path) != nullptr; }
  std::optional<std::string> Read(const std::string& path) const {
    const Node* node = Find(path);
    return node != nullptr && !node->IsFolder() ? std::optional(node->contents) : std::nullopt;
  }
  std::vector<std::string> Names(const std::string& folder) const {
    std::vector<std::string> names;
    if (const Node* node = Find(folder)) {
      for (const auto& child : node->children) names.push_back(child.first);
    }
    return names;
  }
  int OpenHandles() const { return static_cast<int>(m_finds.size() + m_open.size()); }
  // One line per folder and file, with its contents, to compare whole trees.
  std::string Dump() const { return Dump(*m_root, ""); }
  // Windows' next start: the deletions scheduled, in order.
  void Restart() {
    modulePath.clear();
    for (const std::string& path : std::exchange(atRestart, {})) {
      if (Delete(path) != platform::kErrorSuccess) RemoveFolder(path);
    }
  }

  std::uint32_t ModuleFileName(char* buffer, std::uint32_t size) override {
    if (m_faults.Take("ModuleFileName", modulePath)) return 0;
    const std::uint32_t length = static_cast<std::uint32_t>(modulePath.size());
    std::memcpy(buffer, modulePath.c_str(), std::min(length + 1, size));
    return std::min(length, size);
  }
  platform::ErrorCode FindFirst(const std::string& pattern, platform::FindHandle* handle,
                                platform::FoundEntry* entry) override {
    *handle = platform::kInvalidFindHandle;
    if (const auto fault = m_faults.Take("FindFirst", pattern)) return *fault;
    const Place place = Locate(pattern);
    const bool all = place.leaf == "*.*" || place.leaf == "*";
    if (place.folder == nullptr) return platform::kErrorPathNotFound;
    if (!all && place.node == nullptr) return platform::kErrorFileNotFound;
    Listing listing{pattern, {}};
    if (all) listing.entries = {{".", kFolder}, {"..", kFolder}};
    for (const auto& [name, node] : place.folder->children) {
      if (all || node.get() == place.node) listing.entries.push_back({name, node->attributes, node->contents.size()});
    }
    *entry = listing.entries.front();
    m_finds[*handle = m_nextHandle += 4] = std::move(listing);
    return platform::kErrorSuccess;
  }
  platform::ErrorCode FindNext(platform::FindHandle handle, platform::FoundEntry* entry) override {
    Listing& listing = m_finds.at(handle);
    if (const auto fault = m_faults.Take("FindNext", listing.pattern)) return *fault;
    if (listing.next == listing.entries.size()) return platform::kErrorNoMoreFiles;
    *entry = listing.entries[listing.next++];
    return platform::kErrorSuccess;
  }
  platform::ErrorCode CloseFind(platform::FindHandle handle) override { return Closed(m_finds.erase(handle)); }
  std::uint32_t GetAttributes(const std::string& path) override {
    const Node* node = Find(path);
    return m_faults.Take("GetAttributes", path) || node == nullptr ? platform::kInvalidFileAttributes : node->attributes;
  }
  platform::ErrorCode SetAttributes(const std::string& path, std::uint32_t attributes) override {
    if (const auto fault = m_faults.Take("SetAttributes", path)) return *fault;
    Node* node = Find(path);
    if (node == nullptr) return platform::kErrorFileNotFound;
    attributes = node->IsFolder() ? attributes | kFolder : attributes & ~kFolder;
    node->attributes = attributes != 0 ? attributes : platform::kFileAttributeNormal;
    return platform::kErrorSuccess;
  }
  platform::ErrorCode Copy(const std::string& from, const std::string& to, bool failIfExists) override {
    if (const auto fault = m_faults.Take("Copy", to, from)) return *fault;
    const Place source = Locate(from);
    const Node* target = Find(to);
    if (source.node == nullptr) return source.folder != nullptr ? platform::kErrorFileNotFound : platform::kErrorPathNotFound;
    if (Locate(to).folder == nullptr) return platform::kErrorPathNotFound;
    if (source.node->IsFolder() || (target != nullptr && target->IsFixed())) return platform::kErrorAccessDenied;
    if (target != nullptr && failIfExists) return platform::kErrorFileExists;
    Make(to) = *source.node;  // a file: no children to share
    return platform::kErrorSuccess;
  }
  platform::ErrorCode Delete(const std::string& path) override {
    if (const auto fault = m_faults.Take("Delete", path)) return *fault;
    const std::size_t colon = StreamColon(path);
    const Place place = Locate(path.substr(0, colon));
    if (place.node == nullptr) return place.folder != nullptr ? platform::kErrorFileNotFound : platform::kErrorPathNotFound;
    if (colon != std::string::npos) {
      return Done(place.node->streams.erase(path.substr(colon + 1)) == 1, platform::kErrorFileNotFound);
    }
    if (place.node->IsFixed() || Upper(path) == Upper(modulePath)) return platform::kErrorAccessDenied;
    place.folder->children.erase(place.leaf);
    return platform::kErrorSuccess;
  }
  platform::ErrorCode MakeProtectedDirectory(const std::string& path) override {
    return Mkdir("MakeProtectedDirectory", path, true);
  }
  platform::ErrorCode MakeDirectory(const std::string& path) override { return Mkdir("MakeDirectory", path, false); }
  platform::ErrorCode CreateFileForWriting(const std::string& path, bool mustBeNew, platform::FileHandle* handle) override {
    *handle = platform::kInvalidFile;
    if (const auto fault = m_faults.Take("CreateFileForWriting", path)) return *fault;
    const Place place = Locate(path);
    if (place.folder == nullptr) return platform::kErrorPathNotFound;
    if (mustBeNew && place.node != nullptr) return platform::kErrorFileExists;
    AddFile(path);
    m_open[*handle = m_nextHandle += 4] = path;
    return platform::kErrorSuccess;
  }
  platform::ErrorCode WriteToFile(platform::FileHandle handle, const std::string& bytes) override {
    if (const auto fault = m_faults.Take("WriteToFile", m_open.at(handle))) return *fault;
    if (Node* file = Find(m_open.at(handle))) file->contents += bytes;  // a stream keeps none
    return platform::kErrorSuccess;
  }
  platform::ErrorCode CloseFile(platform::FileHandle handle) override { return Closed(m_open.erase(handle)); }
  platform::ErrorCode ReadWholeFile(const std::string& path, std::size_t limit, std::string* contents) override {
    if (const auto fault = m_faults.Take("ReadWholeFile", path)) return *fault;
    const std::optional<std::string> read = Read(path);
    if (!read || read->size() > limit) return read ? platform::kErrorFileTooLarge : platform::kErrorFileNotFound;
    *contents = *read;
    return platform::kErrorSuccess;
  }
  platform::ErrorCode RemoveFolder(const std::string& path) override {
    if (const auto fault = m_faults.Take("RemoveFolder", path)) return *fault;
    const Place place = Locate(path);
    if (place.node == nullptr) return platform::kErrorFileNotFound;
    if (!place.node->IsFolder()) return platform::kErrorDirectory;
    if (!place.node->children.empty()) return platform::kErrorDirNotEmpty;
    place.folder->children.erase(place.leaf);
    return platform::kErrorSuccess;
  }
  platform::ErrorCode DeleteAtRestart(const std::string& path) override {
    if (const auto fault = m_faults.Take("DeleteAtRestart", path)) return *fault;
    atRestart.push_back(path);
    return platform::kErrorSuccess;
  }
  std::uint32_t FullPathName(const std::string& path, char* buffer, std::uint32_t size) override {
    if (m_faults.Take("FullPathName", path) || path.empty()) return 0;
    const std::string full = Resolved(path);
    if (full.size() >= size) return static_cast<std::uint32_t>(full.size() + 1);
    std::memcpy(buffer, full.c_str(), full.size() + 1);
    return static_cast<std::uint32_t>(full.size());
  }

 private:
  static constexpr std::uint32_t kFolder = platform::kFileAttributeDirectory;
  struct Node {
    std::uint32_t attributes = kFolder;
    std::string contents;
    std::set<std::string, NameLess> streams;
    std::map<std::string, std::shared_ptr<Node>, NameLess> children;

    bool IsFolder() const { return (attributes & kFolder) != 0; }
    bool IsFixed() const { return (attributes & (kFolder | platform::kFileAttributeReadOnly)) != 0; }
  };
  // Where a path lies: the folder that holds it (null when there is none), its name there and what has that name.
  struct Place { Node* folder = nullptr; std::string leaf; Node* node = nullptr; };
  // An open listing: the entries found and which of them FindNext reports.
  struct Listing { std::string pattern; std::vector<platform::FoundEntry> entries; std::size_t next = 1; };

  platform::ErrorCode Mkdir(const char* method, const std::string& path, bool protect) {
    if (const auto fault = m_faults.Take(method, path)) return *fault;
    const Place place = Locate(path);
    if (place.folder == nullptr) return platform::kErrorPathNotFound;
    if (place.node != nullptr) return platform::kErrorAlreadyExists;
    Make(path);
    if (protect) protectedFolders.insert(path);
    return platform::kErrorSuccess;
  }
  static platform::ErrorCode Done(bool done, platform::ErrorCode error) { return done ? platform::kErrorSuccess : error; }
  static platform::ErrorCode Closed(std::size_t handles) { return Done(handles == 1, platform::kErrorInvalidHandle); }
  static std::string Dump(const Node& node, const std::string& path) {
    std::string text = path + (node.IsFolder() ? "\\\n" : " = " + node.contents + "\n");
    for (const auto& [name, child] : node.children) text += Dump(*child, path.empty() ? name : path + "\\" + name);
    return text;
  }
  // `path` made absolute against the current folder, "." and ".." resolved, a last "\\" kept.
  std::string Resolved(const std::string& path) const {
    const bool absolute = path.size() > 2 && path[1] == ':' && path[2] == '\\';
    std::vector<std::string> parts;
    for (const std::string& part : SplitPath(absolute ? path : currentFolder + "\\" + path)) {
      if (part == ".." && parts.size() > 1) parts.pop_back();
      if (part != "." && part != "..") parts.push_back(part);
    }
    std::string full;
    for (const std::string& part : parts) full += part + "\\";
    if (path.back() != '\\' && parts.size() > 1) full.pop_back();
    return full;
  }
  // The colon of "file:stream": one after the path's last separator (a drive's comes before it).
  static std::size_t StreamColon(const std::string& path) {
    const std::size_t colon = path.rfind(':');
    const std::size_t separator = platform::FindLastCharacter(path, '\\', platform::IsCp936LeadByte);
    return colon != std::string::npos && separator != std::string::npos && colon > separator ? colon : std::string::npos;
  }
  Place Locate(const std::string& path) const {
    const std::vector<std::string> parts = SplitPath(path);
    std::shared_ptr<Node> folder = parts.empty() ? nullptr : m_root;
    for (std::size_t n = 0; n + 1 < parts.size() && folder; ++n) {
      folder = Child(*folder, parts[n], false);
      if (folder && !folder->IsFolder()) folder = nullptr;
    }
    return folder ? Place{folder.get(), parts.back(), Child(*folder, parts.back(), false).get()} : Place{};
  }
  Node* Find(const std::string& path) const { return Locate(path).node; }
  Node& Make(const std::string& path) {
    std::shared_ptr<Node> node = m_root;
    for (const std::string& part : SplitPath(path)) node = Child(*node, part, true);
    return *node;
  }

  Faults& m_faults;
  std::shared_ptr<Node> m_root = std::make_shared<Node>();
  std::map<platform::FindHandle, Listing> m_finds;
  std::map<platform::FileHandle, std::string> m_open;  // files open for writing
  platform::FindHandle m_nextHandle = 0x2000;
};

}  // namespace fakes
