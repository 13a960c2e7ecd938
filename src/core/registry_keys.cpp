#include "core/registry_keys.h"

#include <algorithm>
#include <vector>

namespace core {

platform::ErrorCode CreateKeyReported(const platform::Services& services, platform::RegKey parent,
                                      const std::string& parentName, const std::string& path,
                                      platform::ScopedRegKey& key, Report& report) {
  // The levels that are missing, found from the deepest up to the first that exists: one that
  // opens, or one that refuses to (it is there, and not the program's to claim).
  std::vector<std::string> levels = platform::SplitAtCharacter(path, '\\', services.isLeadByte);
  std::vector<std::string> missing;
  for (std::string level = path; !levels.empty(); levels.pop_back()) {
    platform::ScopedRegKey probe(services.registry);
    if (services.registry.OpenKeyEx(parent, level.c_str(), platform::kKeyRead, probe.Receive()) !=
        platform::kErrorFileNotFound) {
      break;
    }
    missing.insert(missing.begin(), level);
    level.resize(level.size() - std::min(level.size(), levels.back().size() + 1));
  }
  if (missing.empty()) {
    return services.registry.CreateKey(parent, path.c_str(), platform::kKeyReadWrite, key.Receive());
  }
  // Each level is reported before it is made, parents first, so that a run killed meanwhile leaves
  // no key that no line names: one whose line cannot be written is not made, and the line of one
  // that could not be made is taken back. The deepest, `path` itself, is left open.
  for (const std::string& level : missing) {
    const Effect line{EffectKind::KeyMade, {parentName + "\\" + level}};
    platform::ErrorCode made = report.Done(line);
    if (made == platform::kErrorSuccess) {
      made = services.registry.CreateKey(parent, level.c_str(), platform::kKeyReadWrite, key.Receive());
    }
    if (made == platform::kErrorSuccess && !key.IsOpen()) made = platform::kErrorInvalidHandle;
    if (made != platform::kErrorSuccess) {
      report.Undone(line);
      key.Reset();
      return made;
    }
  }
  return platform::kErrorSuccess;
}

platform::ErrorCode RemoveKeyIfEmpty(const platform::Services& services, const std::string& fullName) {
  platform::Registry& registry = services.registry;
  const platform::RegKey root = RootOf(fullName);
  const std::string path = PathBelowRoot(fullName);
  if (root == platform::kNullKey || path.empty()) return platform::kErrorInvalidParameter;
  platform::ScopedRegKey key(registry);
  platform::ErrorCode result = registry.OpenKeyEx(root, path.c_str(), platform::kKeyRead, key.Receive());
  if (result == platform::kErrorFileNotFound) return platform::kErrorSuccess;
  std::uint32_t subKeys = 0, values = 0;
  if (result == platform::kErrorSuccess) result = registry.QuerySubKeyCount(key.Get(), &subKeys);
  if (result == platform::kErrorSuccess) result = registry.QueryValueCount(key.Get(), &values);
  if (result != platform::kErrorSuccess) return result;
  if (subKeys + values != 0) return platform::kErrorDirNotEmpty;
  key.Reset();
  return registry.DeleteKey(root, path.c_str());
}

platform::RegKey RootOf(const std::string& fullName) {
  if (fullName.rfind("HKCU\\", 0) == 0) return platform::kHkeyCurrentUser;
  if (fullName.rfind("HKLM\\", 0) == 0) return platform::kHkeyLocalMachine;
  return platform::kNullKey;
}

std::string PathBelowRoot(const std::string& fullName) { return fullName.size() > 5 ? fullName.substr(5) : ""; }

}  // namespace core
