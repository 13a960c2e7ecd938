// An in-memory registry that behaves as the Win32 one does for the calls the program makes:
// case-insensitive key and value names, subkeys enumerated sorted by name regardless of case,
// typed values, ERROR_MORE_DATA with the needed size. Faults can be planted per key or, through
// a FaultPlan, on any numbered call; every handle handed out is counted until it is closed.
#pragma once

#include "support/fault_plan.h"
#include "support/journal.h"

#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "platform/registry.h"

namespace fakes {

struct RegValue {
  std::uint32_t type = platform::kRegNone;
  std::vector<std::uint8_t> data;

  std::string Text() const;  // the data up to its first NUL
};

struct RegFaults {
  bool failOpen = false;           // opening (or creating) this key is denied
  bool failSubKeyCount = false;    // asking for its number of subkeys fails
  std::set<std::uint32_t> failEnumIndexes;  // the names at these indexes cannot be read
  bool denyWrite = false;          // values cannot be set, subkeys cannot be created or deleted
};

class FakeRegistry final : public platform::Registry {
 public:
  FakeRegistry();
  ~FakeRegistry() override;

  Journal* journal = nullptr;  // records the values set
  FaultPlan* faultPlan = nullptr;

  // Seeding and inspection; `path` is relative to `root`, components separated by '\'.
  void AddKey(platform::RegKey root, const std::string& path);
  void SetString(platform::RegKey root, const std::string& path, const std::string& name,
                 const std::string& text, std::uint32_t type = platform::kRegSz);
  void SetRaw(platform::RegKey root, const std::string& path, const std::string& name,
              std::uint32_t type, std::vector<std::uint8_t> data);
  bool KeyExists(platform::RegKey root, const std::string& path) const;
  std::optional<RegValue> GetValue(platform::RegKey root, const std::string& path,
                                   const std::string& name) const;
  std::vector<std::string> ValueNames(platform::RegKey root, const std::string& path) const;
  std::vector<std::string> SubKeyNames(platform::RegKey root, const std::string& path) const;
  // The faults of a key, which is created if missing.
  RegFaults& Faults(platform::RegKey root, const std::string& path);
  int OpenHandleCount() const { return static_cast<int>(m_handles.size()); }

  platform::ErrorCode OpenKey(platform::RegKey parent, const char* subKey,
                              platform::RegKey* result) override;
  platform::ErrorCode OpenKeyEx(platform::RegKey parent, const char* subKey,
                                std::uint32_t access, platform::RegKey* result) override;
  platform::ErrorCode CreateKey(platform::RegKey parent, const char* subKey,
                                platform::RegKey* result) override;
  platform::ErrorCode DeleteKey(platform::RegKey parent, const char* subKey) override;
  platform::ErrorCode QuerySubKeyCount(platform::RegKey key, std::uint32_t* count) override;
  platform::ErrorCode EnumKey(platform::RegKey key, std::uint32_t index, char* name,
                              std::uint32_t* nameChars) override;
  platform::ErrorCode QueryValue(platform::RegKey key, const char* valueName,
                                 std::uint32_t* type, std::uint8_t* data,
                                 std::uint32_t* size) override;
  platform::ErrorCode SetValue(platform::RegKey key, const char* valueName, std::uint32_t type,
                               const std::uint8_t* data, std::uint32_t size) override;
  platform::ErrorCode CloseKey(platform::RegKey key) override;

 private:
  struct Node;
  struct NameLess {
    bool operator()(const std::string& a, const std::string& b) const;
  };
  using NodePtr = std::shared_ptr<Node>;

  NodePtr Resolve(platform::RegKey key) const;
  NodePtr Find(const NodePtr& from, const std::string& path) const;
  NodePtr FindOrCreate(const NodePtr& from, const std::string& path);
  platform::ErrorCode OpenExisting(platform::RegKey parent, const char* subKey,
                                   platform::RegKey* result);
  platform::RegKey NewHandle(const NodePtr& node);

  NodePtr m_currentUser;
  NodePtr m_localMachine;
  std::map<platform::RegKey, NodePtr> m_handles;
  platform::RegKey m_nextHandle = 0x1000;
};

}  // namespace fakes
