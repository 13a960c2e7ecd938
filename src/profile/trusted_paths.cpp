// Trusting the installation folder in every AutoCAD profile of the current user: the folder
// is added to the profile's TRUSTEDPATHS list unless the list already names it.
#include <algorithm>
#include <vector>

#include "profile/trusted_paths.h"

#include "core/registry_keys.h"
#include "platform/format.h"

using platform::RegKey;
using platform::ScopedRegKey;

namespace {

const char kUserAcadKey[] = "SOFTWARE\\Autodesk\\AutoCAD";
const char kTrustedPathsValue[] = "TRUSTEDPATHS";
// The install reads the stored list up to this many bytes; the new list may be a little longer,
// and the uninstall reads as much as the install may have written.
constexpr std::uint32_t kReadLimit = 10000;
constexpr std::size_t kNewTextLimit = 12999;
constexpr std::uint32_t kUninstallReadLimit = kNewTextLimit + 1;

// `base` + "\" + `name` less one trailing backslash, + `suffix`.
std::string JoinKeyPath(const std::string& base, const std::string& name, const char* suffix,
                        platform::LeadByteTest isLeadByte) {
  std::string path = base + "\\" + name;
  platform::DropTrailingBackslash(path, isLeadByte);
  return path + suffix;
}

// A handle for the current user's root, as each collecting phase takes one.
bool OpenUserRoot(platform::Registry& registry, ScopedRegKey& root) {
  return registry.OpenKey(platform::kHkeyCurrentUser, nullptr, root.Receive()) ==
         platform::kErrorSuccess;
}

// Opens `path` below the user's root with KEY_READ and lists the subkeys that open.
bool ListSubKeysOf(platform::Registry& registry, RegKey root, const std::string& path,
                   acad::StringList& names) {
  ScopedRegKey key(registry);
  if (registry.OpenKeyEx(root, path.c_str(), platform::kKeyRead, key.Receive()) !=
      platform::kErrorSuccess) {
    return false;
  }
  acad::ListOpenableSubKeys(registry, key.Get(), names);
  return true;
}

// A profile's TRUSTEDPATHS as read: the text (empty for a missing key or value), whether the
// value was there, and the error that kept it from being read whole, if any.
struct StoredList {
  std::string text;
  bool valueExists = false;
  platform::ErrorCode error = platform::kErrorSuccess;
};

// A missing key or value reads as an empty list; any other failure (a list longer than the
// read limit among them) leaves the list unreadable.
StoredList ReadTrustedPaths(platform::Registry& registry, const std::string& variablesKey, std::uint32_t limit) {
  StoredList stored;
  ScopedRegKey key(registry);
  const platform::ErrorCode opened = registry.OpenKey(platform::kHkeyCurrentUser, variablesKey.c_str(), key.Receive());
  if (opened == platform::kErrorFileNotFound) return stored;
  if (!key.IsOpen()) {
    stored.error = opened != platform::kErrorSuccess ? opened : platform::kErrorInvalidHandle;
    return stored;
  }
  std::vector<std::uint8_t> buffer(std::max<std::size_t>(kNewTextLimit, limit) + 1, 0);  // a NUL always after
  std::uint32_t size = limit;
  std::uint32_t type = 0;
  const platform::ErrorCode read = registry.QueryValue(key.Get(), kTrustedPathsValue, &type, buffer.data(), &size);
  stored.valueExists = read != platform::kErrorFileNotFound;
  if (read == platform::kErrorSuccess) stored.text.assign(reinterpret_cast<const char*>(buffer.data()));
  if (read != platform::kErrorSuccess && read != platform::kErrorFileNotFound) stored.error = read;
  return stored;
}

// Whether one entry of the list names `upperFolder`: the folder itself (one trailing
// backslash aside) or the folder with AutoCAD's "\..." for its sub-folders.
bool EntryNamesFolder(std::string entry, const std::string& upperFolder,
                      platform::LeadByteTest isLeadByte) {
  if (entry == upperFolder || entry == upperFolder + "\\...") return true;
  platform::DropTrailingBackslash(entry, isLeadByte);
  return entry == upperFolder;
}

bool ListNamesFolder(const std::string& upperList, const std::string& upperFolder,
                     platform::LeadByteTest isLeadByte) {
  std::string rest = upperList;
  for (;;) {
    const std::size_t separator = platform::FindByCharacters(rest, ";", isLeadByte);
    if (EntryNamesFolder(rest.substr(0, separator), upperFolder, isLeadByte)) return true;
    if (separator == std::string::npos) return false;
    rest.erase(0, separator + 1);
  }
}

// The list to store: the folder alone in place of a list that holds no entry (nothing but
// separators and blanks); otherwise the list in capitals, with the folder in capitals appended
// when the list does not name it yet. Any entry counts, however short ("D:").
bool HoldsNoEntry(const std::string& list) { return list.find_first_not_of("; \t") == std::string::npos; }

std::string NewTrustedPaths(const std::string& stored, const std::string& folder,
                            platform::LeadByteTest isLeadByte) {
  if (HoldsNoEntry(stored)) return folder;
  std::string upperList = stored;
  std::string upperFolder = folder;
  platform::ToUpperByCharacters(upperList, isLeadByte);
  platform::ToUpperByCharacters(upperFolder, isLeadByte);
  if (ListNamesFolder(upperList, upperFolder, isLeadByte)) return upperList;
  return upperList + ";" + upperFolder;
}

// The "Profiles" key path of every product of every release under the user's AutoCAD key.
acad::StringList CollectProfilesKeys(const platform::Services& services) {
  platform::Registry& registry = services.registry;
  acad::StringList profilesKeys;
  ScopedRegKey root(registry);
  if (!OpenUserRoot(registry, root)) return profilesKeys;
  acad::StringList releases;
  ListSubKeysOf(registry, root.Get(), kUserAcadKey, releases);
  for (const std::string& release : releases) {
    acad::StringList products;
    ListSubKeysOf(registry, root.Get(), std::string(kUserAcadKey) + "\\" + release, products);
    for (const std::string& product : products) {
      profilesKeys.push_back(JoinKeyPath(std::string(kUserAcadKey) + "\\" + release, product,
                                         "\\Profiles", services.isLeadByte));
    }
  }
  return profilesKeys;
}

// The "Variables" key path of every profile of the user.
acad::StringList CollectVariablesKeys(const platform::Services& services) {
  platform::Registry& registry = services.registry;
  acad::StringList variablesKeys;
  ScopedRegKey root(registry);
  if (!OpenUserRoot(registry, root)) return variablesKeys;
  for (const std::string& profilesKey : CollectProfilesKeys(services)) {
    acad::StringList profiles;
    if (!ListSubKeysOf(registry, root.Get(), profilesKey, profiles)) continue;
    for (const std::string& profile : profiles) {
      variablesKeys.push_back(JoinKeyPath(profilesKey, profile, "\\Variables", services.isLeadByte));
    }
  }
  return variablesKeys;
}

void TrustFolderInProfile(const platform::Services& services, const std::string& folder,
                          const std::string& variablesKey, core::Report& report) {
  platform::Registry& registry = services.registry;
  const std::string where = "TRUSTEDPATHS of HKCU\\" + variablesKey;
  const StoredList read = ReadTrustedPaths(registry, variablesKey, kReadLimit);
  if (read.error != platform::kErrorSuccess) {
    report.Line(platform::FormatText("%s left alone: it cannot be read whole (error %ld)", where.c_str(), read.error));
    return;
  }
  const std::string& stored = read.text;
  const std::string newList = NewTrustedPaths(stored, folder, services.isLeadByte);
  if (newList.size() > kNewTextLimit) {
    report.Line(where + " left alone: with the folder it would be too long");
    return;
  }
  ScopedRegKey key(registry);
  platform::ErrorCode written =
      core::CreateKeyReported(services, platform::kHkeyCurrentUser, "HKCU", variablesKey, key, report);
  if (key.IsOpen()) {
    written = registry.SetValue(key.Get(), kTrustedPathsValue, platform::kRegSz,
                                reinterpret_cast<const std::uint8_t*>(newList.c_str()),
                                static_cast<std::uint32_t>(newList.size() + 1));
  }
  report.Line(written == platform::kErrorSuccess
               ? where + " was \"" + stored + "\", is \"" + newList + "\""
               : platform::FormatText("%s not written (error %ld)", where.c_str(), written));
  std::string upperStored = stored, upperFolder = folder;
  platform::ToUpperByCharacters(upperStored, services.isLeadByte);
  platform::ToUpperByCharacters(upperFolder, services.isLeadByte);
  const bool gained = HoldsNoEntry(stored) || !ListNamesFolder(upperStored, upperFolder, services.isLeadByte);
  if (written == platform::kErrorSuccess && gained) report.TrustedPathAdded(variablesKey, read.valueExists);
}

}  // namespace

namespace profile {

std::string TrustedPathsWithoutFolder(const std::string& list, const std::string& folder,
                                      platform::LeadByteTest isLeadByte) {
  std::string upperFolder = folder;
  platform::ToUpperByCharacters(upperFolder, isLeadByte);
  std::string kept;
  bool first = true;
  for (const std::string& entry : platform::SplitAtCharacter(list, ';', isLeadByte)) {
    std::string upperEntry = entry;
    platform::ToUpperByCharacters(upperEntry, isLeadByte);
    if (EntryNamesFolder(upperEntry, upperFolder, isLeadByte)) continue;
    kept += (first ? "" : ";") + entry;
    first = false;
  }
  return kept;
}

void RemoveTrustedPath(const CAcadInstallInfo& info, const std::vector<std::string>& valuesMade,
                       core::Report& report) {
  const platform::Services& services = info.Services();
  platform::Registry& registry = services.registry;
  for (const std::string& variablesKey : CollectVariablesKeys(services)) {
    const std::string where = "TRUSTEDPATHS of HKCU\\" + variablesKey;
    const StoredList read = ReadTrustedPaths(registry, variablesKey, kUninstallReadLimit);
    const std::string kept = TrustedPathsWithoutFolder(read.text, info.m_strInstallDir, services.isLeadByte);
    if (read.error != platform::kErrorSuccess || !read.valueExists || kept == read.text) continue;
    ScopedRegKey key(registry);
    platform::ErrorCode written = registry.OpenKey(platform::kHkeyCurrentUser, variablesKey.c_str(), key.Receive());
    // A list that the install made, and that names nothing else, goes with the folder.
    const bool made =
        std::find(valuesMade.begin(), valuesMade.end(), variablesKey) != valuesMade.end() && HoldsNoEntry(kept);
    if (key.IsOpen()) {
      written = made ? registry.DeleteValue(key.Get(), kTrustedPathsValue)
                     : registry.SetValue(key.Get(), kTrustedPathsValue, platform::kRegSz,
                                         reinterpret_cast<const std::uint8_t*>(kept.c_str()),
                                         static_cast<std::uint32_t>(kept.size() + 1));
    }
    report.Line(written != platform::kErrorSuccess ? platform::FormatText("%s not changed (error %ld)", where.c_str(), written)
                : made                           ? where + " removed"
                                                 : where + " was \"" + read.text + "\", is \"" + kept + "\"");
  }
}

void AddTrustedPath(const CAcadInstallInfo& info, core::Report& report) {
  const acad::StringList variablesKeys = CollectVariablesKeys(info.Services());
  if (variablesKeys.empty()) report.Line("TRUSTEDPATHS: the user has no AutoCAD profile");
  for (const std::string& variablesKey : variablesKeys) {
    TrustFolderInProfile(info.Services(), info.m_strInstallDir, variablesKey, report);
  }
}

}  // namespace profile
