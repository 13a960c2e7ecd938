#include "core/registry_keys.h"

#include <algorithm>
#include <vector>

namespace core {

platform::ErrorCode CreateKeyReported(const platform::Services& services, platform::RegKey parent,
                                      const std::string& parentName, const std::string& path,
                                      platform::ScopedRegKey& key, Report& report) {
  // The levels that are missing, found from the deepest up to the first that exists: one that opens, or one that
  // refuses to (it is there, and not the install's to claim).
  std::vector<std::string> levels = platform::SplitAtCharacter(path, '\\', services.isLeadByte);
  std::vector<std::string> missing;
  for (std::string level = path; !levels.empty(); levels.pop_back()) {
    platform::ScopedRegKey probe(services.registry);
    if (services.registry.OpenKeyEx(parent, level.c_str(), platform::kKeyRead, probe.Receive()) != platform::kErrorFileNotFound) {
      break;
    }
    missing.insert(missing.begin(), parentName + "\\" + level);
    level.resize(level.size() - std::min(level.size(), levels.back().size() + 1));
  }
  const platform::ErrorCode created = services.registry.CreateKey(parent, path.c_str(), key.Receive());
  if (key.IsOpen()) {
    for (const std::string& made : missing) report.KeyMade(made);
  }
  return created;
}

bool RemoveKeyIfEmpty(const platform::Services& services, const std::string& fullName) {
  platform::Registry& registry = services.registry;
  const platform::RegKey root = RootOf(fullName);
  const std::string path = PathBelowRoot(fullName);
  platform::ScopedRegKey key(registry);
  if (registry.OpenKey(root, path.c_str(), key.Receive()) == platform::kErrorFileNotFound) return true;
  std::uint32_t subKeys = 1, values = 1;
  if (!key.IsOpen() || registry.QuerySubKeyCount(key.Get(), &subKeys) != platform::kErrorSuccess ||
      registry.QueryValueCount(key.Get(), &values) != platform::kErrorSuccess || subKeys + values != 0) {
    return false;
  }
  key.Reset();
  return registry.DeleteKey(root, path.c_str()) == platform::kErrorSuccess;
}

platform::RegKey RootOf(const std::string& fullName) {
  return fullName.compare(0, 5, "HKCU\\") == 0 ? platform::kHkeyCurrentUser : platform::kHkeyLocalMachine;
}

std::string PathBelowRoot(const std::string& fullName) { return fullName.size() > 5 ? fullName.substr(5) : ""; }

}  // namespace core
