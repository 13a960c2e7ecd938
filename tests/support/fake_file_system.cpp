#include "support/fake_file_system.h"

#include <algorithm>
#include <cstring>
#include <stdexcept>

#include "platform/multibyte.h"

namespace fakes {

using platform::ErrorCode;
using platform::FoundEntry;

namespace {

std::string Upper(std::string text) {
  platform::ToUpperByCharacters(text, platform::IsCp936LeadByte);
  return text;
}

// The path's components, split at the backslashes that are characters of their own.
std::vector<std::string> Components(const std::string& path) {
  std::vector<std::string> parts(1);
  for (std::size_t offset = 0; offset < path.size();) {
    const bool twoBytes = platform::IsCp936LeadByte(static_cast<unsigned char>(path[offset])) &&
                          offset + 1 < path.size();
    if (!twoBytes && path[offset] == '\\') {
      parts.emplace_back();
    } else {
      parts.back().append(path, offset, twoBytes ? 2 : 1);
    }
    offset += twoBytes ? 2 : 1;
  }
  parts.erase(std::remove(parts.begin(), parts.end(), std::string()), parts.end());
  return parts;
}

// Splits "file:stream" (a colon after the last separator, not a drive's) into its two parts.
bool SplitStream(const std::string& path, std::string* file, std::string* stream) {
  const std::size_t colon = path.rfind(':');
  const std::size_t separator = platform::FindLastCharacter(path, '\\', platform::IsCp936LeadByte);
  if (colon == std::string::npos || separator == std::string::npos || colon < separator) {
    return false;
  }
  *file = path.substr(0, colon);
  *stream = path.substr(colon + 1);
  return true;
}

bool IsListPattern(const std::string& leaf) { return leaf == "*.*" || leaf == "*"; }

}  // namespace

bool FakeFileSystem::NameLess::operator()(const std::string& a, const std::string& b) const {
  return Upper(a) < Upper(b);
}

struct FakeFileSystem::Node {
  std::string name;
  std::uint32_t attributes = platform::kFileAttributeDirectory;
  std::string contents;
  std::set<std::string, NameLess> streams;
  std::map<std::string, std::unique_ptr<Node>, NameLess> children;
  FileFaults faults;

  bool IsFolder() const { return (attributes & platform::kFileAttributeDirectory) != 0; }
  bool IsReadOnly() const { return (attributes & platform::kFileAttributeReadOnly) != 0; }
};

FakeFileSystem::FakeFileSystem() : m_root(std::make_unique<Node>()) {}
FakeFileSystem::~FakeFileSystem() = default;

FakeFileSystem::Node* FakeFileSystem::Find(const std::string& path) const {
  Node* node = m_root.get();
  for (const std::string& part : Components(path)) {
    if (!node->IsFolder()) return nullptr;
    const auto child = node->children.find(part);
    if (child == node->children.end()) return nullptr;
    node = child->second.get();
  }
  return node == m_root.get() ? nullptr : node;
}

FakeFileSystem::Node* FakeFileSystem::FolderOf(const std::string& path, std::string* leaf) const {
  std::vector<std::string> parts = Components(path);
  if (parts.empty()) return nullptr;
  *leaf = parts.back();
  parts.pop_back();
  Node* folder = m_root.get();
  for (const std::string& part : parts) {
    const auto child = folder->children.find(part);
    if (child == folder->children.end() || !child->second->IsFolder()) return nullptr;
    folder = child->second.get();
  }
  return folder;
}

FakeFileSystem::Node& FakeFileSystem::Make(const std::string& path, std::uint32_t attributes) {
  Node* node = m_root.get();
  for (const std::string& part : Components(path)) {
    std::unique_ptr<Node>& child = node->children[part];
    if (!child) {
      child = std::make_unique<Node>();
      child->name = part;
    }
    node = child.get();
  }
  node->attributes = attributes;
  return *node;
}

void FakeFileSystem::AddFolder(const std::string& path, std::uint32_t attributes) {
  Make(path, attributes | platform::kFileAttributeDirectory);
}

void FakeFileSystem::AddFile(const std::string& path, const std::string& contents,
                             std::uint32_t attributes) {
  std::string file;
  std::string stream;
  if (SplitStream(path, &file, &stream)) {
    Node* owner = Find(file);
    if (owner == nullptr) throw std::logic_error("no file for the stream " + path);
    owner->streams.insert(stream);
    return;
  }
  Make(path, attributes & ~platform::kFileAttributeDirectory).contents = contents;
}

bool FakeFileSystem::Exists(const std::string& path) const { return Find(path) != nullptr; }

std::optional<std::string> FakeFileSystem::Contents(const std::string& path) const {
  const Node* node = Find(path);
  if (node == nullptr || node->IsFolder()) return std::nullopt;
  return node->contents;
}

std::vector<std::string> FakeFileSystem::Names(const std::string& folder) const {
  std::vector<std::string> names;
  if (const Node* node = Find(folder)) {
    for (const auto& child : node->children) names.push_back(child.second->name);
  }
  return names;
}

FileFaults& FakeFileSystem::Faults(const std::string& path) {
  Node* node = Find(path);
  if (node == nullptr) throw std::logic_error("no such path " + path);
  return node->faults;
}

FoundEntry FakeFileSystem::EntryOf(const Node& node) {
  return FoundEntry{node.name, node.attributes};
}

std::uint32_t FakeFileSystem::ModuleFileName(char* buffer, std::uint32_t size) {
  if (TakeFault(faultPlan, "ModuleFileName")) return 0;
  const std::size_t length = modulePath.size();
  if (length < size) {
    std::memcpy(buffer, modulePath.c_str(), length + 1);
    return static_cast<std::uint32_t>(length);
  }
  std::memcpy(buffer, modulePath.data(), size);
  return size;
}

ErrorCode FakeFileSystem::FindFirst(const std::string& pattern, platform::FindHandle* handle,
                                    FoundEntry* entry) {
  *handle = platform::kInvalidFindHandle;
  if (const auto fault = TakeFault(faultPlan, "FindFirst", pattern.c_str())) return *fault;
  std::string leaf;
  Node* folder = FolderOf(pattern, &leaf);
  if (folder == nullptr) return platform::kErrorPathNotFound;
  Listing listing;
  if (IsListPattern(leaf)) {
    if (folder->faults.failList) return platform::kErrorAccessDenied;
    listing.entries = {FoundEntry{".", platform::kFileAttributeDirectory},
                       FoundEntry{"..", platform::kFileAttributeDirectory}};
    for (const auto& child : folder->children) listing.entries.push_back(EntryOf(*child.second));
  } else {
    const auto found = folder->children.find(leaf);
    if (found == folder->children.end()) return platform::kErrorFileNotFound;
    listing.entries.push_back(EntryOf(*found->second));
  }
  *entry = listing.entries.front();
  listing.next = 1;
  *handle = m_nextFind;
  m_nextFind += 4;
  m_finds[*handle] = std::move(listing);
  return platform::kErrorSuccess;
}

ErrorCode FakeFileSystem::FindNext(platform::FindHandle handle, FoundEntry* entry) {
  if (const auto fault = TakeFault(faultPlan, "FindNext")) return *fault;
  const auto found = m_finds.find(handle);
  if (found == m_finds.end()) return platform::kErrorInvalidHandle;
  Listing& listing = found->second;
  if (listing.next >= listing.entries.size()) return platform::kErrorNoMoreFiles;
  *entry = listing.entries[listing.next++];
  return platform::kErrorSuccess;
}

ErrorCode FakeFileSystem::CloseFind(platform::FindHandle handle) {
  TakeFault(faultPlan, "CloseFind");  // counted; a listing always closes
  return m_finds.erase(handle) == 1 ? platform::kErrorSuccess : platform::kErrorInvalidHandle;
}

std::uint32_t FakeFileSystem::GetAttributes(const std::string& path) {
  if (TakeFault(faultPlan, "GetAttributes", path.c_str())) return platform::kInvalidFileAttributes;
  const Node* node = Find(path);
  return node == nullptr ? platform::kInvalidFileAttributes : node->attributes;
}

ErrorCode FakeFileSystem::SetAttributes(const std::string& path, std::uint32_t attributes) {
  if (const auto fault = TakeFault(faultPlan, "SetAttributes", path.c_str())) return *fault;
  Node* node = Find(path);
  if (node == nullptr) return platform::kErrorFileNotFound;
  if (node->faults.denyWrite) return platform::kErrorAccessDenied;
  attributes &= ~platform::kFileAttributeDirectory;
  if (node->IsFolder()) {
    node->attributes = attributes | platform::kFileAttributeDirectory;
  } else {
    node->attributes = attributes == 0 ? platform::kFileAttributeNormal : attributes;
  }
  return platform::kErrorSuccess;
}

ErrorCode FakeFileSystem::Copy(const std::string& from, const std::string& to,
                               bool failIfExists) {
  if (const auto fault = TakeFault(faultPlan, "Copy", to.c_str())) return *fault;
  Record(journal, "copy " + to);
  std::string leaf;
  if (FolderOf(from, &leaf) == nullptr) return platform::kErrorPathNotFound;
  const Node* source = Find(from);
  if (source == nullptr) return platform::kErrorFileNotFound;
  if (source->IsFolder()) return platform::kErrorAccessDenied;
  if (source->faults.inUse) return platform::kErrorSharingViolation;

  Node* folder = FolderOf(to, &leaf);
  if (folder == nullptr) return platform::kErrorPathNotFound;
  const auto existing = folder->children.find(leaf);
  Node* target = existing == folder->children.end() ? nullptr : existing->second.get();
  if (target == nullptr) {
    if (folder->faults.denyWrite) return platform::kErrorAccessDenied;
    auto made = std::make_unique<Node>();
    made->name = leaf;
    target = folder->children.emplace(leaf, std::move(made)).first->second.get();
  } else if (target->IsFolder()) {
    return platform::kErrorAccessDenied;
  } else if (failIfExists) {
    return platform::kErrorFileExists;
  } else if (target->IsReadOnly()) {
    return platform::kErrorAccessDenied;
  } else if (target->faults.inUse) {
    return platform::kErrorSharingViolation;
  }
  target->attributes = source->attributes;
  target->contents = source->contents;
  target->streams = source->streams;
  return platform::kErrorSuccess;
}

ErrorCode FakeFileSystem::Delete(const std::string& path) {
  if (const auto fault = TakeFault(faultPlan, "Delete", path.c_str())) return *fault;
  std::string file;
  std::string stream;
  if (SplitStream(path, &file, &stream)) {
    Node* owner = Find(file);
    return owner != nullptr && owner->streams.erase(stream) == 1 ? platform::kErrorSuccess
                                                                  : platform::kErrorFileNotFound;
  }
  std::string leaf;
  Node* folder = FolderOf(path, &leaf);
  if (folder == nullptr) return platform::kErrorPathNotFound;
  const auto found = folder->children.find(leaf);
  if (found == folder->children.end()) return platform::kErrorFileNotFound;
  const Node& node = *found->second;
  if (node.IsFolder() || node.IsReadOnly() || folder->faults.denyWrite) {
    return platform::kErrorAccessDenied;
  }
  if (node.faults.inUse) return platform::kErrorSharingViolation;
  folder->children.erase(found);
  return platform::kErrorSuccess;
}

ErrorCode FakeFileSystem::MakeDirectory(const std::string& path) {
  if (const auto fault = TakeFault(faultPlan, "MakeDirectory", path.c_str())) return *fault;
  Record(journal, "mkdir " + path);
  std::string leaf;
  Node* folder = FolderOf(path, &leaf);
  if (folder == nullptr) return platform::kErrorPathNotFound;
  if (folder->children.count(leaf) != 0) return platform::kErrorAlreadyExists;
  if (folder->faults.denyWrite) return platform::kErrorAccessDenied;
  auto made = std::make_unique<Node>();
  made->name = leaf;
  folder->children[leaf] = std::move(made);
  return platform::kErrorSuccess;
}

}  // namespace fakes
