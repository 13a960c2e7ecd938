#include "support/fake_registry.h"

#include <algorithm>
#include <cstring>

#include "platform/multibyte.h"

namespace fakes {

using platform::ErrorCode;
using platform::RegKey;

namespace {

constexpr ErrorCode kErrorBadPathname = 161;
constexpr ErrorCode kErrorKeyDeleted = 1018;

std::string Upper(std::string text) {
  platform::ToUpperByCharacters(text, platform::IsCp936LeadByte);
  return text;
}

// Splits a key path at its separators, found by characters; empty components are dropped,
// as Windows ignores a trailing backslash.
std::vector<std::string> SplitPath(const std::string& path) {
  std::vector<std::string> parts;
  std::string rest = path;
  while (!rest.empty()) {
    std::size_t cut = platform::FindByCharacters(rest, "\\", platform::IsCp936LeadByte);
    if (cut == std::string::npos) cut = rest.size();
    if (cut > 0) parts.push_back(rest.substr(0, cut));
    rest.erase(0, std::min(cut + 1, rest.size()));
  }
  return parts;
}

bool IsEmptyName(const char* name) { return name == nullptr || *name == '\0'; }

ErrorCode NoKey(RegKey* result, ErrorCode error) {
  *result = platform::kNullKey;
  return error;
}

// After ERROR_MORE_DATA the buffer's contents are undefined; spoil them so that nobody comes
// to rely on them.
void Spoil(std::uint8_t* data, std::uint32_t capacity) {
  if (data != nullptr) std::fill(data, data + capacity, static_cast<std::uint8_t>('?'));
}

}  // namespace

std::string RegValue::Text() const {
  const auto end = std::find(data.begin(), data.end(), 0);
  return std::string(data.begin(), end);
}

bool FakeRegistry::NameLess::operator()(const std::string& a, const std::string& b) const {
  return Upper(a) < Upper(b);
}

struct FakeRegistry::Node {
  std::string name;
  std::map<std::string, NodePtr, NameLess> children;
  std::map<std::string, RegValue, NameLess> values;
  RegFaults faults;
  bool deleted = false;
};

FakeRegistry::FakeRegistry()
    : m_currentUser(std::make_shared<Node>()), m_localMachine(std::make_shared<Node>()) {
  // Every real registry has these two.
  FindOrCreate(m_localMachine, "SOFTWARE");
  FindOrCreate(m_currentUser, "Software");
}

FakeRegistry::~FakeRegistry() = default;

FakeRegistry::NodePtr FakeRegistry::Resolve(RegKey key) const {
  if (key == platform::kHkeyCurrentUser) return m_currentUser;
  if (key == platform::kHkeyLocalMachine) return m_localMachine;
  const auto handle = m_handles.find(key);
  return handle == m_handles.end() ? nullptr : handle->second;
}

FakeRegistry::NodePtr FakeRegistry::Find(const NodePtr& from, const std::string& path) const {
  NodePtr node = from;
  for (const std::string& part : SplitPath(path)) {
    const auto child = node->children.find(part);
    if (child == node->children.end()) return nullptr;
    node = child->second;
  }
  return node;
}

FakeRegistry::NodePtr FakeRegistry::FindOrCreate(const NodePtr& from, const std::string& path) {
  NodePtr node = from;
  for (const std::string& part : SplitPath(path)) {
    NodePtr& child = node->children[part];
    if (!child) {
      child = std::make_shared<Node>();
      child->name = part;
    }
    node = child;
  }
  return node;
}

RegKey FakeRegistry::NewHandle(const NodePtr& node) {
  const RegKey handle = m_nextHandle;
  m_nextHandle += 4;
  m_handles[handle] = node;
  return handle;
}

void FakeRegistry::AddKey(RegKey root, const std::string& path) {
  FindOrCreate(Resolve(root), path);
}

void FakeRegistry::SetString(RegKey root, const std::string& path, const std::string& name,
                             const std::string& text, std::uint32_t type) {
  std::vector<std::uint8_t> data(text.begin(), text.end());
  data.push_back(0);
  SetRaw(root, path, name, type, std::move(data));
}

void FakeRegistry::SetRaw(RegKey root, const std::string& path, const std::string& name,
                          std::uint32_t type, std::vector<std::uint8_t> data) {
  FindOrCreate(Resolve(root), path)->values[name] = RegValue{type, std::move(data)};
}

bool FakeRegistry::KeyExists(RegKey root, const std::string& path) const {
  return Find(Resolve(root), path) != nullptr;
}

std::optional<RegValue> FakeRegistry::GetValue(RegKey root, const std::string& path,
                                               const std::string& name) const {
  const NodePtr node = Find(Resolve(root), path);
  if (!node) return std::nullopt;
  const auto value = node->values.find(name);
  if (value == node->values.end()) return std::nullopt;
  return value->second;
}

std::vector<std::string> FakeRegistry::ValueNames(RegKey root, const std::string& path) const {
  std::vector<std::string> names;
  if (const NodePtr node = Find(Resolve(root), path)) {
    for (const auto& value : node->values) names.push_back(value.first);
  }
  return names;
}

std::vector<std::string> FakeRegistry::SubKeyNames(RegKey root, const std::string& path) const {
  std::vector<std::string> names;
  if (const NodePtr node = Find(Resolve(root), path)) {
    for (const auto& child : node->children) names.push_back(child.second->name);
  }
  return names;
}

RegFaults& FakeRegistry::Faults(RegKey root, const std::string& path) {
  return FindOrCreate(Resolve(root), path)->faults;
}

ErrorCode FakeRegistry::OpenExisting(RegKey parent, const char* subKey, RegKey* result) {
  *result = platform::kNullKey;
  const NodePtr from = Resolve(parent);
  if (!from) return platform::kErrorInvalidHandle;
  if (from->deleted) return kErrorKeyDeleted;
  if (!IsEmptyName(subKey) && subKey[0] == '\\') return kErrorBadPathname;
  const NodePtr node = IsEmptyName(subKey) ? from : Find(from, subKey);
  if (!node) return platform::kErrorFileNotFound;
  if (node->faults.failOpen) return platform::kErrorAccessDenied;
  *result = NewHandle(node);
  return platform::kErrorSuccess;
}

ErrorCode FakeRegistry::OpenKey(RegKey parent, const char* subKey, RegKey* result) {
  if (const auto fault = TakeFault(faultPlan, "OpenKey", subKey)) return NoKey(result, *fault);
  // RegOpenKeyA with no name hands back the very handle it was given.
  if (IsEmptyName(subKey)) {
    const NodePtr node = Resolve(parent);
    *result = node ? parent : platform::kNullKey;
    return node ? platform::kErrorSuccess : platform::kErrorInvalidHandle;
  }
  return OpenExisting(parent, subKey, result);
}

ErrorCode FakeRegistry::OpenKeyEx(RegKey parent, const char* subKey, std::uint32_t,
                                  RegKey* result) {
  if (const auto fault = TakeFault(faultPlan, "OpenKeyEx", subKey)) return NoKey(result, *fault);
  return OpenExisting(parent, subKey, result);
}

ErrorCode FakeRegistry::CreateKey(RegKey parent, const char* subKey, RegKey* result) {
  if (const auto fault = TakeFault(faultPlan, "CreateKey", subKey)) return NoKey(result, *fault);
  *result = platform::kNullKey;
  const NodePtr from = Resolve(parent);
  if (!from) return platform::kErrorInvalidHandle;
  if (from->deleted) return kErrorKeyDeleted;
  if (!IsEmptyName(subKey) && subKey[0] == '\\') return kErrorBadPathname;
  NodePtr node = from;
  for (const std::string& part : SplitPath(IsEmptyName(subKey) ? "" : subKey)) {
    const auto child = node->children.find(part);
    if (child != node->children.end()) {
      node = child->second;
      continue;
    }
    if (node->faults.denyWrite) return platform::kErrorAccessDenied;
    NodePtr created = std::make_shared<Node>();
    created->name = part;
    node->children[part] = created;
    node = created;
  }
  if (node->faults.failOpen) return platform::kErrorAccessDenied;
  *result = NewHandle(node);
  return platform::kErrorSuccess;
}

ErrorCode FakeRegistry::DeleteKey(RegKey parent, const char* subKey) {
  if (const auto fault = TakeFault(faultPlan, "DeleteKey", subKey)) return *fault;
  const NodePtr from = Resolve(parent);
  if (!from) return platform::kErrorInvalidHandle;
  if (IsEmptyName(subKey)) return platform::kErrorAccessDenied;
  std::vector<std::string> parts = SplitPath(subKey);
  const std::string leaf = parts.back();
  parts.pop_back();
  NodePtr owner = from;
  for (const std::string& part : parts) {
    owner = Find(owner, part);
    if (!owner) return platform::kErrorFileNotFound;
  }
  const auto child = owner->children.find(leaf);
  if (child == owner->children.end()) return platform::kErrorFileNotFound;
  if (owner->faults.denyWrite || !child->second->children.empty()) {
    return platform::kErrorAccessDenied;
  }
  child->second->deleted = true;
  owner->children.erase(child);
  return platform::kErrorSuccess;
}

ErrorCode FakeRegistry::QuerySubKeyCount(RegKey key, std::uint32_t* count) {
  if (const auto fault = TakeFault(faultPlan, "QuerySubKeyCount")) return *fault;
  const NodePtr node = Resolve(key);
  if (!node) return platform::kErrorInvalidHandle;
  if (node->deleted) return kErrorKeyDeleted;
  if (node->faults.failSubKeyCount) return platform::kErrorAccessDenied;
  *count = static_cast<std::uint32_t>(node->children.size());
  return platform::kErrorSuccess;
}

ErrorCode FakeRegistry::EnumKey(RegKey key, std::uint32_t index, char* name,
                                std::uint32_t* nameChars) {
  if (const auto fault = TakeFault(faultPlan, "EnumKey")) return *fault;
  const NodePtr node = Resolve(key);
  if (!node) return platform::kErrorInvalidHandle;
  if (node->deleted) return kErrorKeyDeleted;
  if (index >= node->children.size()) return platform::kErrorNoMoreItems;
  if (node->faults.failEnumIndexes.count(index) != 0) return platform::kErrorAccessDenied;
  const std::string& childName = std::next(node->children.begin(), index)->second->name;
  if (childName.size() + 1 > *nameChars) return platform::kErrorMoreData;
  std::memcpy(name, childName.c_str(), childName.size() + 1);
  *nameChars = static_cast<std::uint32_t>(childName.size());
  return platform::kErrorSuccess;
}

ErrorCode FakeRegistry::QueryValue(RegKey key, const char* valueName, std::uint32_t* type,
                                   std::uint8_t* data, std::uint32_t* size) {
  if (const auto fault = TakeFault(faultPlan, "QueryValue", valueName)) {
    if (*fault == platform::kErrorMoreData) {
      Spoil(data, *size);
      *size += 1;  // one byte more than the buffer holds
    }
    return *fault;
  }
  const NodePtr node = Resolve(key);
  if (!node) return platform::kErrorInvalidHandle;
  if (node->deleted) return kErrorKeyDeleted;
  const auto value = node->values.find(valueName == nullptr ? "" : valueName);
  if (value == node->values.end()) return platform::kErrorFileNotFound;
  const std::vector<std::uint8_t>& bytes = value->second.data;
  if (type != nullptr) *type = value->second.type;
  const std::uint32_t capacity = *size;
  *size = static_cast<std::uint32_t>(bytes.size());
  if (data == nullptr) return platform::kErrorSuccess;
  if (bytes.size() > capacity) {
    Spoil(data, capacity);
    return platform::kErrorMoreData;
  }
  std::copy(bytes.begin(), bytes.end(), data);
  return platform::kErrorSuccess;
}

ErrorCode FakeRegistry::SetValue(RegKey key, const char* valueName, std::uint32_t type,
                                 const std::uint8_t* data, std::uint32_t size) {
  if (const auto fault = TakeFault(faultPlan, "SetValue", valueName)) return *fault;
  Record(journal, std::string("set ") + (valueName == nullptr ? "" : valueName));
  const NodePtr node = Resolve(key);
  if (!node) return platform::kErrorInvalidHandle;
  if (node->deleted) return kErrorKeyDeleted;
  if (node->faults.denyWrite) return platform::kErrorAccessDenied;
  node->values[valueName == nullptr ? "" : valueName] =
      RegValue{type, std::vector<std::uint8_t>(data, data + size)};
  return platform::kErrorSuccess;
}

ErrorCode FakeRegistry::CloseKey(RegKey key) {
  TakeFault(faultPlan, "CloseKey");  // counted; a key always closes
  if (key == platform::kHkeyCurrentUser || key == platform::kHkeyLocalMachine) {
    return platform::kErrorSuccess;
  }
  return m_handles.erase(key) == 1 ? platform::kErrorSuccess : platform::kErrorInvalidHandle;
}

}  // namespace fakes
