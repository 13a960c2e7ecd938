// An in-memory registry answering the program's calls as Windows does: names without regard to case, subkeys
// enumerated sorted by name, typed values, ERROR_MORE_DATA with the size needed. Tests use full paths ("HKLM\...",
// "HKCU\..."). Fault paths: a key's path; a value's, its key's path, a backslash and its name.
#pragma once

#include "platform/registry.h"
#include "support/faults.h"

namespace fakes {

using Bytes = std::vector<std::uint8_t>;

struct RegValue {
  std::uint32_t type = platform::kRegNone;
  Bytes data;
  std::string Text() const { return std::string(data.begin(), std::find(data.begin(), data.end(), 0)); }
};

class FakeRegistry final : public platform::Registry {
 public:
  explicit FakeRegistry(Faults& faults) : m_faults(faults) {
    AddKey("HKLM\\SOFTWARE");
    AddKey("HKCU\\Software");
  }

  void AddKey(const std::string& key) { Walk(key, true); }
  void Set(const std::string& key, const std::string& name, const std::string& text, std::uint32_t type = platform::kRegSz) {
    SetRaw(key, name, type, Bytes(text.c_str(), text.c_str() + text.size() + 1));
  }
  void SetRaw(const std::string& key, const std::string& name, std::uint32_t type, Bytes data) {
    Walk(key, true)->values[name] = RegValue{type, std::move(data)};
  }
  std::optional<RegValue> Get(const std::string& key, const std::string& name) const {
    const auto node = Walk(key, false);
    return node && node->values.count(name) != 0 ? std::optional(node->values.at(name)) : std::nullopt;
  }
  std::string Text(const std::string& key, const std::string& name) const { return Get(key, name).value_or(RegValue{}).Text(); }
  std::vector<std::string> Keys(const std::string& key) const { return Names(key, &Node::children); }
  std::vector<std::string> Values(const std::string& key) const { return Names(key, &Node::values); }
  int OpenHandles() const { return static_cast<int>(m_handles.size()) - 2; }
  // Every key ("path\\") and value ("path\\:name": "type:text"), to compare whole states.
  std::map<std::string, std::string> Dump() const {
    std::map<std::string, std::string> dump;
    for (const char* root : {"HKLM", "HKCU"}) Dump(*Walk(root, false), root, dump);
    return dump;
  }

  platform::ErrorCode OpenKey(platform::RegKey parent, const char* subKey, platform::RegKey* result) override {
    if (subKey != nullptr && *subKey != '\0') return Open("OpenKey", parent, subKey, result, false);
    // With no name, RegOpenKeyA hands back the very handle it was given.
    const auto fault = m_faults.Take("OpenKey", m_handles.at(parent).path);
    *result = fault ? platform::kNullKey : parent;
    return fault.value_or(platform::kErrorSuccess);
  }
  platform::ErrorCode OpenKeyEx(platform::RegKey parent, const char* subKey, std::uint32_t access, platform::RegKey* result) override {
    return Open("OpenKeyEx", parent, subKey, result, false, access);
  }
  platform::ErrorCode CreateKey(platform::RegKey parent, const char* subKey, std::uint32_t access, platform::RegKey* result) override {
    return Open("CreateKey", parent, subKey, result, true, access);
  }
  platform::ErrorCode DeleteKey(platform::RegKey parent, const char* subKey) override {
    const std::string path = Joined(m_handles.at(parent).path, subKey);
    if (const auto fault = m_faults.Take("DeleteKey", path)) return *fault;
    const std::string leaf = SplitPath(path).back();
    const auto node = Walk(path.substr(0, path.size() - leaf.size()), false);
    if (!node || node->children.count(leaf) == 0) return platform::kErrorFileNotFound;
    if (!node->children.at(leaf)->children.empty()) return platform::kErrorAccessDenied;
    node->children.erase(leaf);
    return platform::kErrorSuccess;
  }
  platform::ErrorCode QuerySubKeyCount(platform::RegKey key, std::uint32_t* count) override {
    return Count("QuerySubKeyCount", m_handles.at(key), m_handles.at(key).node->children.size(), count);
  }
  platform::ErrorCode QueryValueCount(platform::RegKey key, std::uint32_t* count) override {
    return Count("QueryValueCount", m_handles.at(key), m_handles.at(key).node->values.size(), count);
  }
  platform::ErrorCode EnumKey(platform::RegKey key, std::uint32_t index, char* name, std::uint32_t* nameChars) override {
    const Handle& handle = m_handles.at(key);
    const bool inRange = index < handle.node->children.size();
    const std::string child = inRange ? std::next(handle.node->children.begin(), index)->first : "";
    if (const auto fault = m_faults.Take("EnumKey", handle.path + "\\" + child)) return *fault;
    if (!inRange) return platform::kErrorNoMoreItems;
    if (child.size() >= *nameChars) return platform::kErrorMoreData;
    std::memcpy(name, child.c_str(), child.size() + 1);
    *nameChars = static_cast<std::uint32_t>(child.size());
    return platform::kErrorSuccess;
  }
  platform::ErrorCode QueryValue(platform::RegKey key, const char* valueName, std::uint32_t* type, std::uint8_t* data,
                                 std::uint32_t* size) override {
    const Handle& handle = m_handles.at(key);
    const std::uint32_t capacity = *size;
    // After ERROR_MORE_DATA a buffer holds nothing usable: it is spoilt, so nobody relies on it.
    const auto spoil = [&] {
      if (data != nullptr) std::fill(data, data + capacity, '?');
      return platform::kErrorMoreData;
    };
    if (const auto fault = m_faults.Take("QueryValue", handle.path + "\\" + valueName)) {
      if (*fault != platform::kErrorMoreData) return *fault;
      *size = capacity + 1;  // a value of untold type one byte longer than the buffer
      return spoil();
    }
    if (handle.node->values.count(valueName) == 0) return platform::kErrorFileNotFound;
    const RegValue& value = handle.node->values.at(valueName);
    if (type != nullptr) *type = value.type;
    *size = static_cast<std::uint32_t>(value.data.size());
    if (data == nullptr) return platform::kErrorSuccess;
    if (value.data.size() > capacity) return spoil();
    std::copy(value.data.begin(), value.data.end(), data);
    return platform::kErrorSuccess;
  }
  platform::ErrorCode SetValue(platform::RegKey key, const char* valueName, std::uint32_t type, const std::uint8_t* data,
                               std::uint32_t size) override {
    const Handle& handle = m_handles.at(key);
    if (const auto fault = m_faults.Take("SetValue", handle.path + "\\" + valueName)) return *fault;
    if (!handle.writable) return platform::kErrorAccessDenied;
    handle.node->values[valueName] = RegValue{type, Bytes(data, data + size)};
    return platform::kErrorSuccess;
  }
  platform::ErrorCode DeleteValue(platform::RegKey key, const char* valueName) override {
    const Handle& handle = m_handles.at(key);
    if (const auto fault = m_faults.Take("DeleteValue", handle.path + "\\" + valueName)) return *fault;
    if (!handle.writable) return platform::kErrorAccessDenied;
    return handle.node->values.erase(valueName) == 1 ? platform::kErrorSuccess : platform::kErrorFileNotFound;
  }
  platform::ErrorCode CloseKey(platform::RegKey key) override {
    const bool root = key == platform::kHkeyLocalMachine || key == platform::kHkeyCurrentUser;
    return root || m_handles.erase(key) == 1 ? platform::kErrorSuccess : platform::kErrorInvalidHandle;
  }

 private:
  struct Node {
    std::map<std::string, std::shared_ptr<Node>, NameLess> children;  // its subkeys
    std::map<std::string, RegValue, NameLess> values;
  };
  // The path from its root, single separators; whether it was opened to write.
  struct Handle {
    std::shared_ptr<Node> node;
    std::string path;
    bool writable = true;
  };

  static std::string Joined(const std::string& path, const char* name) {
    std::string joined = path;  // a handle's path has single separators already
    for (const std::string& part : SplitPath(name != nullptr ? name : "")) joined += "\\" + part;
    return joined;
  }
  // The key of a full path, made with its missing parents when `create`.
  std::shared_ptr<Node> Walk(const std::string& path, bool create) const {
    const std::vector<std::string> parts = SplitPath(path);
    auto node = m_handles.at(Upper(parts.at(0)) == "HKLM" ? platform::kHkeyLocalMachine : platform::kHkeyCurrentUser).node;
    for (std::size_t n = 1; n < parts.size() && node; ++n) node = Child(*node, parts[n], create);
    return node;
  }
  static void Dump(const Node& node, const std::string& path, std::map<std::string, std::string>& dump) {
    dump[path + "\\"] = "";
    for (const auto& [name, value] : node.values) dump[path + "\\:" + name] = std::to_string(value.type) + ":" + value.Text();
    for (const auto& [name, key] : node.children) Dump(*key, path + "\\" + name, dump);
  }
  template <typename Map>
  std::vector<std::string> Names(const std::string& key, Map Node::*map) const {
    std::vector<std::string> names;
    if (const auto node = Walk(key, false))
      for (const auto& entry : (*node).*map) names.push_back(entry.first);
    return names;
  }
  platform::ErrorCode Count(const char* method, const Handle& handle, std::size_t size, std::uint32_t* count) {
    if (const auto fault = m_faults.Take(method, handle.path)) return *fault;
    *count = static_cast<std::uint32_t>(size);
    return platform::kErrorSuccess;
  }
  platform::ErrorCode Open(const char* method, platform::RegKey parent, const char* subKey, platform::RegKey* result, bool create,
                           std::uint32_t access = platform::kKeyReadWrite) {
    *result = platform::kNullKey;
    const std::string path = Joined(m_handles.at(parent).path, subKey);
    if (const auto fault = m_faults.Take(method, path)) return *fault;
    const auto node = Walk(path, create);
    if (!node) return platform::kErrorFileNotFound;
    *result = m_nextHandle += 4;
    m_handles[*result] = Handle{node, path, (access & platform::kKeyWrite & ~platform::kKeyRead) != 0};
    return platform::kErrorSuccess;
  }

  Faults& m_faults;
  std::map<platform::RegKey, Handle> m_handles = {{platform::kHkeyLocalMachine, {std::make_shared<Node>(), "HKLM"}},
                                                  {platform::kHkeyCurrentUser, {std::make_shared<Node>(), "HKCU"}}};
  platform::RegKey m_nextHandle = 0x1000;
};

}  // namespace fakes
