// An in-memory file system answering the program's calls as Windows does: names without regard to case, split by
// characters; "folder\*.*" lists "." and ".." first, then the entries sorted; a copy takes its source's attributes
// and streams ("file:stream"); neither a read-only file nor the running program is overwritten or deleted;
// GetModuleFileNameA cuts a long path without its zero; a link (a junction) leads a path elsewhere, but is itself
// what is deleted or removed; a file renamed through its handle never takes the place of another; what is moved at
// restart waits in `atRestart`. Fault paths are the paths the calls are given.
#pragma once

#include <functional>
#include <utility>

#include "platform/file_contents.h"
#include "platform/paths.h"
#include "support/faults.h"

namespace fakes {

class FakeFiles final : public platform::FileSystem {
 public:
  explicit FakeFiles(Faults& faults) : m_faults(faults) {}

  std::string modulePath = "D:\\pkg\\SetUp.exe";
  std::string currentFolder = "D:\\pkg";
  std::set<std::string, NameLess> protectedFolders;             // with the protected access list
  std::set<std::string, NameLess> writableByOthers;             // folders others may write in
  std::map<std::string, std::uint32_t, NameLess> othersRights;  // and the rights others have elsewhere
  std::set<std::string, NameLess> inUse;                        // files another program holds open
  std::function<void()> atFirstOpen;                            // done once, as the first OpenEntry is asked for
  struct Scheduled { std::string from, to; std::uint32_t flags; };
  std::vector<Scheduled> atRestart;  // moves (or, to "", deletions) when Windows starts

  // Both make the missing folders above them. "file:stream" adds a stream to a file.
  void AddFolder(const std::string& path, std::uint32_t attributes = kFolder) { Make(path).attributes = attributes | kFolder; }
  void AddFile(const std::string& path, const std::string& contents = "", std::uint32_t attributes = platform::kFileAttributeArchive) {
    const std::size_t colon = StreamColon(path);
    if (colon != std::string::npos) {
      Find(path.substr(0, colon))->streams.insert(path.substr(colon + 1));
    } else {
      Node& node = Make(path);
      node.attributes = attributes & ~kFolder;
      node.contents = contents;
    }
  }
  // A junction at `path` that leads to the folder `target`.
  void AddLink(const std::string& path, const std::string& target) {
    Node& node = Make(path);
    node.attributes = kFolder | platform::kFileAttributeReparsePoint;
    node.link = target;
  }
  // The short (8.3) name by which the last part of `path` is also known.
  void AddShortName(const std::string& path, const std::string& shortName) { Find(path)->shortName = shortName; }
  bool Exists(const std::string& path) const { return Find(path) != nullptr; }
  std::optional<std::string> Read(const std::string& path) const {
    const Node* node = Follow(Find(path));
    return node != nullptr && !node->IsFolder() ? std::optional(node->contents) : std::nullopt;
  }
  std::vector<std::string> Names(const std::string& folder) const {
    std::vector<std::string> names;
    if (const Node* node = Follow(Find(folder)))
      for (const auto& child : node->children) names.push_back(child.first);
    return names;
  }
  int OpenHandles() const { return static_cast<int>(m_finds.size() + m_open.size()); }
  // One line per folder and file, with its contents, to compare whole trees.
  std::string Dump() const { return Dump(*m_root, ""); }
  // Windows' next start: the moves and deletions scheduled, in order.
  void Restart() {
    modulePath.clear();
    inUse.clear();
    for (const auto& [from, to, flags] : std::exchange(atRestart, {})) {
      if (!to.empty()) Move(from, to, flags & platform::kMoveReplaceExisting);
      if (to.empty() && Delete(from) != platform::kErrorSuccess) RemoveFolder(from);
    }
  }

  std::uint32_t ModuleFileName(char* buffer, std::uint32_t size) override {
    if (m_faults.Take("ModuleFileName", modulePath)) return 0;
    const std::uint32_t length = static_cast<std::uint32_t>(modulePath.size());
    std::memcpy(buffer, modulePath.c_str(), std::min(length + 1, size));
    return std::min(length, size);
  }
  platform::ErrorCode FindFirst(const std::string& pattern, platform::FindHandle* handle, platform::FoundEntry* entry) override {
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
    const Node* original = Follow(source.node);
    const Node* target = Find(to);
    if (original == nullptr) return source.folder != nullptr ? platform::kErrorFileNotFound : platform::kErrorPathNotFound;
    if (Locate(to).folder == nullptr) return platform::kErrorPathNotFound;
    if (target != nullptr && failIfExists && !target->IsFolder()) return platform::kErrorFileExists;
    if (original->IsFolder() || (target != nullptr && (target->IsFixed() || IsRunning(to)))) return platform::kErrorAccessDenied;
    if (inUse.count(to) != 0) return platform::kErrorSharingViolation;
    Make(to) = *original;  // a file: no children to share
    return platform::kErrorSuccess;
  }
  platform::ErrorCode CopyWithDigest(const std::string& from, const std::string& to, bool failIfExists,
                                     platform::FileDigest* digest) override {
    const platform::ErrorCode copied = Copy(from, to, failIfExists);
    if (copied != platform::kErrorSuccess) return copied;
    Find(to)->streams.clear();  // the bytes alone
    *digest = platform::DigestOf(*Read(to));
    return copied;
  }
  platform::ErrorCode Move(const std::string& from, const std::string& to, std::uint32_t flags) override {
    if (const auto fault = m_faults.Take("Move", from, to)) return *fault;
    const Place source = Locate(from);
    if (source.node == nullptr) return source.folder != nullptr ? platform::kErrorFileNotFound : platform::kErrorPathNotFound;
    if ((flags & platform::kMoveDelayUntilReboot) != 0) {
      atRestart.push_back({from, to, flags});
      return platform::kErrorSuccess;
    }
    if (inUse.count(from) != 0 || inUse.count(to) != 0) return platform::kErrorSharingViolation;
    for (const auto& open : m_open) {  // nothing open is shared for deleting: neither it nor a folder above it is renamed
      if (open.second.node == nullptr) continue;
      if (open.second.node.get() == source.node) return platform::kErrorSharingViolation;
      if (PathOf(*source.node, open.second.node.get(), "")) return platform::kErrorAccessDenied;
    }
    const Place target = Locate(to);
    if (target.folder == nullptr) return platform::kErrorPathNotFound;
    if (target.node != nullptr && (flags & platform::kMoveReplaceExisting) != 0 && IsOpen(target.node)) {
      return platform::kErrorAccessDenied;
    }
    if (target.node != nullptr && ((flags & platform::kMoveReplaceExisting) == 0 || target.node->IsFixed())) {
      return (flags & platform::kMoveReplaceExisting) != 0 ? platform::kErrorAccessDenied : platform::kErrorAlreadyExists;
    }
    std::shared_ptr<Node> moved = source.folder->children.at(source.leaf);
    source.folder->children.erase(source.leaf);
    Locate(to).folder->children[target.leaf] = moved;
    return platform::kErrorSuccess;
  }
  platform::ErrorCode Delete(const std::string& path) override {
    if (const auto fault = m_faults.Take("Delete", path)) return *fault;
    const std::size_t colon = StreamColon(path);
    const Place place = Locate(path.substr(0, colon));
    if (place.node == nullptr) return place.folder != nullptr ? platform::kErrorFileNotFound : platform::kErrorPathNotFound;
    if (colon != std::string::npos) return Done(place.node->streams.erase(path.substr(colon + 1)) == 1, platform::kErrorFileNotFound);
    if (place.node->IsFixed() || IsRunning(path)) return platform::kErrorAccessDenied;
    if (inUse.count(path) != 0 || IsOpen(place.node)) return platform::kErrorSharingViolation;
    place.folder->children.erase(place.leaf);
    return platform::kErrorSuccess;
  }
  platform::ErrorCode MakeProtectedDirectory(const std::string& path) override { return Mkdir("MakeProtectedDirectory", path, true); }
  platform::ErrorCode MakeDirectory(const std::string& path) override { return Mkdir("MakeDirectory", path, false); }
  platform::ErrorCode ProtectFolder(const std::string& path) override {
    if (const auto fault = m_faults.Take("ProtectFolder", path)) return *fault;
    if (Find(path) == nullptr) return platform::kErrorFileNotFound;
    protectedFolders.insert(path);
    writableByOthers.erase(path);
    return platform::kErrorSuccess;
  }
  platform::ErrorCode InheritAccess(const std::string& path) override {
    if (const auto fault = m_faults.Take("InheritAccess", path)) return *fault;
    return Done(Find(path) != nullptr, platform::kErrorFileNotFound);
  }
  platform::ErrorCode QueryOthersRights(const std::string& path, std::uint32_t* rights) override {
    if (const auto fault = m_faults.Take("QueryOthersRights", path)) return *fault;
    const Node* node = Find(path);
    if (node == nullptr || !node->link.empty()) return node ? platform::kErrorAccessDenied : platform::kErrorFileNotFound;
    const auto granted = othersRights.find(path);
    *rights = writableByOthers.count(path) ? platform::kRightsAll : granted != othersRights.end() ? granted->second : 0;
    return platform::kErrorSuccess;
  }
  platform::ErrorCode QueryAccessText(const std::string& path, std::string* text) override {
    if (const auto fault = m_faults.Take("QueryAccessText", path)) return *fault;
    *text = protectedFolders.count(path)   ? kProtectedAccess
            : writableByOthers.count(path) ? "D:(A;OICI;FA;;;WD)"
                                           : "D:AI(A;OICIID;FA;;;BA)";
    return Done(Find(path) != nullptr, platform::kErrorFileNotFound);
  }
  platform::ErrorCode OpenEntry(const std::string& path, platform::FileHandle* handle) override {
    *handle = platform::kInvalidFile;
    if (const auto swap = std::exchange(atFirstOpen, nullptr)) swap();
    if (const auto fault = m_faults.Take("OpenEntry", path)) return *fault;
    const Place place = Locate(path);
    if (place.node == nullptr) return place.folder != nullptr ? platform::kErrorFileNotFound : platform::kErrorPathNotFound;
    for (const auto& open : m_open) {
      if (open.second.entry && open.second.node.get() == place.node) return platform::kErrorSharingViolation;
    }
    m_open[*handle = m_nextHandle += 4] = OpenFile{path, 0, place.node->shared_from_this(), true};
    return platform::kErrorSuccess;
  }
  platform::ErrorCode FinalPathName(platform::FileHandle handle, std::string* path) override {
    const std::optional<std::string> found = PathOf(*m_root, m_open.at(handle).node.get(), "");
    if (found) *path = *found;
    return found ? platform::kErrorSuccess : platform::kErrorFileNotFound;
  }
  platform::ErrorCode OpenAttributes(platform::FileHandle handle, std::uint32_t* attributes) override {
    *attributes = m_open.at(handle).node->attributes;
    return platform::kErrorSuccess;
  }
  platform::ErrorCode DeleteOpened(platform::FileHandle handle) override {
    const OpenFile& open = m_open.at(handle);
    if (const auto fault = m_faults.Take("DeleteOpened", open.path)) return *fault;
    Node* node = open.node.get();
    if (node->IsFolder() && node->link.empty() && !node->children.empty()) return platform::kErrorDirNotEmpty;
    if ((node->attributes & platform::kFileAttributeReadOnly) != 0 || node == Find(modulePath)) return platform::kErrorAccessDenied;
    const Place place = Locate(*PathOf(*m_root, node, ""));
    place.folder->children.erase(place.leaf);
    return platform::kErrorSuccess;
  }
  platform::ErrorCode RenameOpened(platform::FileHandle handle, const std::string& to) override {
    const OpenFile& open = m_open.at(handle);
    if (const auto fault = m_faults.Take("RenameOpened", open.path, to)) return *fault;
    const std::optional<std::string> from = PathOf(*m_root, open.node.get(), "");
    const Place source = Locate(from.value_or("")), target = Locate(to);
    if (!open.entry || source.node == nullptr) return platform::kErrorAccessDenied;  // no right to delete it, or it is gone
    if (target.folder == nullptr) return platform::kErrorPathNotFound;
    if (target.node != nullptr) return platform::kErrorAlreadyExists;
    target.folder->children[target.leaf] = open.node;
    source.folder->children.erase(source.leaf);
    return platform::kErrorSuccess;
  }
  platform::ErrorCode ClearReadOnlyOpened(platform::FileHandle handle) override {
    const OpenFile& open = m_open.at(handle);
    if (const auto fault = m_faults.Take("ClearReadOnlyOpened", open.path)) return *fault;
    if (open.entry) open.node->attributes &= ~platform::kFileAttributeReadOnly;  // else no right to write its attributes
    return open.entry ? platform::kErrorSuccess : platform::kErrorAccessDenied;
  }
  platform::ErrorCode CreateFileForWriting(const std::string& path, platform::WriteMode mode, platform::FileHandle* handle) override {
    *handle = platform::kInvalidFile;
    if (const auto fault = m_faults.Take("CreateFileForWriting", path)) return *fault;
    const Place place = Locate(path);
    if (place.folder == nullptr) return platform::kErrorPathNotFound;
    if (mode == platform::WriteMode::New && place.node != nullptr) return platform::kErrorFileExists;
    if (place.node != nullptr && (place.node->IsFixed() || IsRunning(path))) return platform::kErrorAccessDenied;
    if (IsOpen(place.node)) return platform::kErrorSharingViolation;  // no handle the program opens shares writing
    if (place.node == nullptr || mode != platform::WriteMode::Append) AddFile(path);
    Node* file = Follow(Find(path));  // none for a stream, which keeps no bytes
    m_open[*handle = m_nextHandle += 4] = OpenFile{path, 0, file ? file->shared_from_this() : nullptr};
    return platform::kErrorSuccess;
  }
  platform::ErrorCode WriteToFile(platform::FileHandle handle, const std::string& bytes) override {
    const OpenFile& file = m_open.at(handle);
    if (m_faults.Killing() && file.node) file.node->contents += bytes.substr(0, bytes.size() / 2);  // cut short
    if (const auto fault = m_faults.Take("WriteToFile", file.path)) return *fault;
    if (file.node) file.node->contents += bytes;
    return platform::kErrorSuccess;
  }
  platform::ErrorCode FlushFile(platform::FileHandle handle) override {
    return m_faults.Take("FlushFile", m_open.at(handle).path).value_or(platform::kErrorSuccess);
  }
  platform::ErrorCode OpenFileForReading(const std::string& path, platform::FileHandle* handle) override {
    *handle = platform::kInvalidFile;
    if (const auto fault = m_faults.Take("OpenFileForReading", path)) return *fault;
    const Place place = Locate(path);
    const Node* node = Follow(place.node);
    if (node == nullptr) return place.folder != nullptr ? platform::kErrorFileNotFound : platform::kErrorPathNotFound;
    if (node->IsFolder()) return platform::kErrorAccessDenied;
    m_open[*handle = m_nextHandle += 4] = OpenFile{path, 0, const_cast<Node*>(node)->shared_from_this()};
    return platform::kErrorSuccess;
  }
  platform::ErrorCode ReadFromFile(platform::FileHandle handle, char* buffer, std::uint32_t size, std::uint32_t* read) override {
    OpenFile& file = m_open.at(handle);
    *read = 0;
    if (const auto fault = m_faults.Take("ReadFromFile", file.path)) return *fault;
    const std::string contents = file.node && !file.node->IsFolder() ? file.node->contents : "";
    *read = static_cast<std::uint32_t>(std::min<std::size_t>(size, contents.size() - std::min(file.at, contents.size())));
    std::memcpy(buffer, contents.data() + std::min(file.at, contents.size()), *read);
    file.at += *read;
    return platform::kErrorSuccess;
  }
  platform::ErrorCode CloseFile(platform::FileHandle handle) override { return Closed(m_open.erase(handle)); }
  platform::ErrorCode RemoveFolder(const std::string& path) override {
    if (const auto fault = m_faults.Take("RemoveFolder", path)) return *fault;
    const Place place = Locate(path);
    if (place.node == nullptr) return platform::kErrorFileNotFound;
    if (!place.node->IsFolder()) return platform::kErrorDirectory;
    if (place.node->link.empty() && !place.node->children.empty()) return platform::kErrorDirNotEmpty;
    place.folder->children.erase(place.leaf);
    return platform::kErrorSuccess;
  }
  std::uint32_t FullPathName(const std::string& path, char* buffer, std::uint32_t size) override {
    if (m_faults.Take("FullPathName", path) || path.empty()) return 0;
    return Answer(Resolved(path), buffer, size);
  }
  std::uint32_t LongPathName(const std::string& path, char* buffer, std::uint32_t size) override {
    const std::vector<std::string> parts = SplitPath(path);
    if (m_faults.Take("LongPathName", path) || Find(path) == nullptr) return 0;
    std::string full = parts[0];
    Node* node = m_root.get();
    for (const std::string& part : parts) {
      const auto named = Named(*Follow(node), part);
      full += node == m_root.get() ? "" : "\\" + named->first;
      node = named->second.get();
    }
    return Answer(full, buffer, size);
  }
  platform::ErrorCode Identify(const std::string& path, platform::FileId* id) override {
    if (const auto fault = m_faults.Take("Identify", path)) return *fault;
    const Node* node = Follow(Find(path));
    if (node == nullptr) return platform::kErrorFileNotFound;
    *id = platform::FileId{1, reinterpret_cast<std::uintptr_t>(node)};
    return platform::kErrorSuccess;
  }

 private:
  static constexpr std::uint32_t kFolder = platform::kFileAttributeDirectory;
  static constexpr char kProtectedAccess[] = "D:P(A;OICI;FA;;;SY)(A;OICI;FA;;;BA)(A;OICI;0x1200a9;;;BU)(A;OICI;0x1200a9;;;OW)";
  struct Node : std::enable_shared_from_this<Node> {
    std::uint32_t attributes = kFolder;
    std::string contents;
    std::string link;       // where a junction leads
    std::string shortName;  // its 8.3 name, when it has one
    std::set<std::string, NameLess> streams;
    std::map<std::string, std::shared_ptr<Node>, NameLess> children;

    bool IsFolder() const { return (attributes & kFolder) != 0; }
    bool IsFixed() const { return (attributes & (kFolder | platform::kFileAttributeReadOnly)) != 0; }
  };
  // Where a path lies: the folder that holds it (null when there is none), its name there and what has that name.
  struct Place {
    Node* folder = nullptr;
    std::string leaf;
    Node* node = nullptr;
  };
  // An open listing: the entries found and which of them FindNext reports.
  struct Listing {
    std::string pattern;
    std::vector<platform::FoundEntry> entries;
    std::size_t next = 1;
  };
  struct OpenFile {
    std::string path;
    std::size_t at;
    std::shared_ptr<Node> node;  // what the handle reads, writes or deletes, wherever it is now
    bool entry = false;          // opened as it is, with the right to delete it, which it shares with nobody
  };
  // Where `node` lies in the tree below `folder` (at `path`), links not followed.
  static std::optional<std::string> PathOf(const Node& folder, const Node* node, const std::string& path) {
    for (const auto& [name, child] : folder.children) {
      const std::string at = path.empty() ? name : path + "\\" + name;
      if (child.get() == node) return at;
      if (const auto found = PathOf(*child, node, at)) return found;
    }
    return std::nullopt;
  }

  bool IsRunning(const std::string& path) const { return Upper(path) == Upper(modulePath); }
  bool IsOpen(const Node* node) const {
    return node != nullptr && std::any_of(m_open.begin(), m_open.end(), [&](const auto& open) { return open.second.node.get() == node; });
  }
  platform::ErrorCode Mkdir(const char* method, const std::string& path, bool protect) {
    if (const auto fault = m_faults.Take(method, path)) return *fault;
    const Place place = Locate(path);
    if (place.folder == nullptr) return platform::kErrorPathNotFound;
    if (place.node != nullptr) return platform::kErrorAlreadyExists;
    Make(path);
    if (protect) protectedFolders.insert(path);
    return platform::kErrorSuccess;
  }
  // A path copied out as the Win32 calls do: its length, or the size it needs when it does not fit.
  static std::uint32_t Answer(const std::string& path, char* buffer, std::uint32_t size) {
    if (path.size() >= size) return static_cast<std::uint32_t>(path.size() + 1);
    std::memcpy(buffer, path.c_str(), path.size() + 1);
    return static_cast<std::uint32_t>(path.size());
  }
  // The child known by `name`, its long name or its short one.
  using Children = std::map<std::string, std::shared_ptr<Node>, NameLess>;
  static Children::iterator Named(Node& node, const std::string& name) {
    const auto found = node.children.find(name);
    if (found != node.children.end()) return found;
    return std::find_if(node.children.begin(), node.children.end(),
                        [&](const auto& child) { return !child.second->shortName.empty() && Upper(child.second->shortName) == Upper(name); });
  }
  static std::shared_ptr<Node> ChildNamed(Node& node, const std::string& name) {
    const auto found = Named(node, name);
    return found != node.children.end() ? found->second : nullptr;
  }
  static platform::ErrorCode Done(bool done, platform::ErrorCode error) { return done ? platform::kErrorSuccess : error; }
  static platform::ErrorCode Closed(std::size_t handles) { return Done(handles == 1, platform::kErrorInvalidHandle); }
  static std::string Dump(const Node& node, const std::string& path) {
    std::string text = path + (!node.link.empty() ? " -> " + node.link + "\n" : node.IsFolder() ? "\\\n" : " = " + node.contents + "\n");
    for (const auto& [name, child] : node.children) text += Dump(*child, path.empty() ? name : path + "\\" + name);
    return text;
  }
  // `path` as Windows takes it: cut at a zero, '/' read as '\\', made absolute against the current folder, "." and
  // ".." resolved, dots and blanks at a part's end dropped, a last "\\" kept; a device name is the device.
  std::string Resolved(std::string path) const {
    path = path.c_str();
    std::replace(path.begin(), path.end(), '/', '\\');
    const bool absolute = path.size() > 2 && path[1] == ':' && path[2] == '\\';
    std::vector<std::string> parts;
    for (std::string part : SplitPath(absolute ? path : currentFolder + "\\" + path)) {
      if (part == ".." && parts.size() > 1) parts.pop_back();
      if (part != "." && part != "..") part.erase(part.find_last_not_of(". ") + 1);
      if (!part.empty() && part != "..") parts.push_back(part);
    }
    std::string last = parts.empty() ? "" : Upper(parts.back().substr(0, parts.back().find('.')));
    last.erase(last.find_last_not_of(' ') + 1);
    const bool device = !last.empty() && last.find_first_not_of("ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789$") == std::string::npos;
    if (device && !platform::IsPlainPath("C:\\" + last, platform::IsCp936LeadByte)) return "\\\\.\\" + last;
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
  // What a junction leads to (the node itself for anything else).
  Node* Follow(Node* node, int depth = 0) const {
    if (node == nullptr || node->link.empty() || depth > 8) return node;
    return Follow(Find(node->link), depth + 1);
  }
  const Node* Follow(const Node* node) const { return Follow(const_cast<Node*>(node)); }
  Place Locate(const std::string& path) const {
    const std::vector<std::string> parts = SplitPath(path);
    Node* folder = parts.empty() ? nullptr : m_root.get();
    for (std::size_t n = 0; n + 1 < parts.size() && folder; ++n) {
      folder = Follow(ChildNamed(*folder, parts[n]).get());
      if (folder && !folder->IsFolder()) folder = nullptr;
    }
    if (folder == nullptr) return Place{};
    const auto named = Named(*folder, parts.back());
    return named != folder->children.end() ? Place{folder, named->first, named->second.get()} : Place{folder, parts.back(), nullptr};
  }
  Node* Find(const std::string& path) const { return Locate(path).node; }
  Node& Make(const std::string& path) {
    Node* node = m_root.get();
    for (const std::string& part : SplitPath(path)) {
      const std::shared_ptr<Node> named = ChildNamed(*node, part);
      node = Follow(named ? named.get() : Child(*node, part, true).get());
    }
    return *node;
  }

  Faults& m_faults;
  std::shared_ptr<Node> m_root = std::make_shared<Node>();
  std::map<platform::FindHandle, Listing> m_finds;
  std::map<platform::FileHandle, OpenFile> m_open;  // files open for reading or writing
  platform::FindHandle m_nextHandle = 0x2000;
};

}  // namespace fakes
