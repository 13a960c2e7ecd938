// Trusting the installation folder in every AutoCAD profile of the current user: the folder is
// added to the profile's TRUSTEDPATHS list unless the list already names it, and taken out again
// with every other entry left as it is.
#include "profile/trusted_paths.h"

#include <algorithm>
#include <vector>

#include "core/registry_keys.h"
#include "platform/format.h"
#include "platform/registry_values.h"

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
  return registry.OpenKey(platform::kHkeyCurrentUser, nullptr, root.Receive()) == platform::kErrorSuccess;
}

// Opens `path` below the user's root with KEY_READ and lists the subkeys that open; false when it
// does not open. `complete` turns false when some key there cannot be seen (a key that is not there
// hides nothing).
bool ListSubKeysOf(platform::Registry& registry, RegKey root, const std::string& path, acad::StringList& names,
                   bool& complete) {
  ScopedRegKey key(registry);
  const platform::ErrorCode opened = registry.OpenKeyEx(root, path.c_str(), platform::kKeyRead, key.Receive());
  complete &= opened == platform::kErrorSuccess || opened == platform::kErrorFileNotFound;
  if (opened != platform::kErrorSuccess) return false;
  const std::size_t before = names.size();
  acad::ListOpenableSubKeys(registry, key.Get(), names);
  std::uint32_t count = 0;
  complete &= registry.QuerySubKeyCount(key.Get(), &count) == platform::kErrorSuccess && names.size() - before == count;
  return true;
}

// A profile's TRUSTEDPATHS as read: the text (empty for a missing key or value), whether the
// value was there, and the error that kept it from being read whole, if any.
struct StoredList {
  std::string text;
  bool valueExists = false;
  platform::ErrorCode error = platform::kErrorSuccess;
};

// A missing key or value reads as an empty list; any other failure (a list longer than the read
// limit among them) leaves the list unreadable.
StoredList ReadTrustedPaths(platform::Registry& registry, const std::string& variablesKey, std::uint32_t limit) {
  StoredList stored;
  platform::ValueText value;
  const platform::ErrorCode read =
      platform::ReadValueText(registry, platform::kHkeyCurrentUser, variablesKey, kTrustedPathsValue, limit, &value);
  stored.valueExists = read == platform::kErrorSuccess;
  stored.text = value.text;
  if (read != platform::kErrorSuccess && read != platform::kErrorFileNotFound) stored.error = read;
  return stored;
}

// Whether one entry of the list names `upperFolder`: the folder itself (one trailing backslash
// aside) or the folder with AutoCAD's "\..." for its sub-folders.
bool EntryNamesFolder(std::string entry, const std::string& upperFolder, platform::LeadByteTest isLeadByte) {
  if (entry == upperFolder || entry == upperFolder + "\\...") return true;
  platform::DropTrailingBackslash(entry, isLeadByte);
  return entry == upperFolder;
}

std::string Upper(std::string text, platform::LeadByteTest isLeadByte) {
  platform::ToUpperByCharacters(text, isLeadByte);
  return text;
}

bool ListNamesFolder(const std::string& list, const std::string& folder, platform::LeadByteTest isLeadByte) {
  const std::string upperFolder = Upper(folder, isLeadByte);
  const std::vector<std::string> entries = platform::SplitAtCharacter(Upper(list, isLeadByte), ';', isLeadByte);
  return std::any_of(entries.begin(), entries.end(),
                     [&](const std::string& entry) { return EntryNamesFolder(entry, upperFolder, isLeadByte); });
}

// Whether a list holds no entry: nothing but separators and blanks. Any entry counts, however
// short ("D:").
bool HoldsNoEntry(const std::string& list) { return list.find_first_not_of("; \t") == std::string::npos; }

// The list to store: the folder alone in place of a list that holds no entry; otherwise the list
// in capitals, with the folder in capitals appended when the list does not name it yet.
std::string NewTrustedPaths(const std::string& stored, const std::string& folder, platform::LeadByteTest isLeadByte) {
  if (HoldsNoEntry(stored)) return folder;
  const std::string upperList = Upper(stored, isLeadByte);
  if (ListNamesFolder(stored, folder, isLeadByte)) return upperList;
  return upperList + ";" + Upper(folder, isLeadByte);
}

// The "Profiles" key path of every product of every release under the user's AutoCAD key.
acad::StringList CollectProfilesKeys(const platform::Services& services, bool& complete) {
  platform::Registry& registry = services.registry;
  acad::StringList profilesKeys;
  ScopedRegKey root(registry);
  complete &= OpenUserRoot(registry, root);
  if (!root.IsOpen()) return profilesKeys;
  acad::StringList releases;
  ListSubKeysOf(registry, root.Get(), kUserAcadKey, releases, complete);
  for (const std::string& release : releases) {
    acad::StringList products;
    ListSubKeysOf(registry, root.Get(), std::string(kUserAcadKey) + "\\" + release, products, complete);
    for (const std::string& product : products) {
      profilesKeys.push_back(
          JoinKeyPath(std::string(kUserAcadKey) + "\\" + release, product, "\\Profiles", services.isLeadByte));
    }
  }
  return profilesKeys;
}

// The "Variables" key path of every profile of the user; `complete` turns false when some profile
// could not be seen.
acad::StringList CollectVariablesKeys(const platform::Services& services, bool& complete) {
  platform::Registry& registry = services.registry;
  acad::StringList variablesKeys;
  ScopedRegKey root(registry);
  complete &= OpenUserRoot(registry, root);
  if (!root.IsOpen()) return variablesKeys;
  for (const std::string& profilesKey : CollectProfilesKeys(services, complete)) {
    acad::StringList profiles;
    if (!ListSubKeysOf(registry, root.Get(), profilesKey, profiles, complete)) continue;
    for (const std::string& profile : profiles) {
      variablesKeys.push_back(JoinKeyPath(profilesKey, profile, "\\Variables", services.isLeadByte));
    }
  }
  return variablesKeys;
}

// The error that kept the list from being trusted, if any.
platform::ErrorCode TrustFolderInProfile(const platform::Services& services, const std::string& folder,
                                         const std::string& variablesKey, core::Report& report) {
  const std::string where = "TRUSTEDPATHS of HKCU\\" + variablesKey;
  const StoredList read = ReadTrustedPaths(services.registry, variablesKey, kReadLimit);
  if (read.error != platform::kErrorSuccess) {
    report.Line(platform::FormatText("%s left alone: it cannot be read whole (error %ld)", where.c_str(), read.error));
    return read.error;
  }
  const std::string newList = NewTrustedPaths(read.text, folder, services.isLeadByte);
  if (newList.size() > kNewTextLimit) {
    report.Line(where + " left alone: with the folder it would be too long");
    return platform::kErrorFilenameTooLong;
  }
  // The line goes first, so that a run killed before it ends names every list it changed; it is
  // taken back when the list could not be written. A line that cannot be written keeps nothing
  // from being trusted: the uninstall looks at every profile's list for the folder anyway.
  const core::Effect line{core::EffectKind::TrustedPathAdded, {variablesKey, read.valueExists ? "1" : "0"}};
  const bool adds = HoldsNoEntry(read.text) || !ListNamesFolder(read.text, folder, services.isLeadByte);
  ScopedRegKey key(services.registry);
  platform::ErrorCode written =
      core::CreateKeyReported(services, platform::kHkeyCurrentUser, "HKCU", variablesKey, key, report);
  if (key.IsOpen() && adds) report.Done(line);
  if (key.IsOpen()) written = platform::SetText(services.registry, key.Get(), kTrustedPathsValue, newList);
  if (written != platform::kErrorSuccess) {
    if (adds) report.Undone(line);
    report.Line(platform::FormatText("%s not written (error %ld)", where.c_str(), written));
    return written;
  }
  report.Line(where + " was \"" + read.text + "\", is \"" + newList + "\"");
  return platform::kErrorSuccess;
}

// Takes `folder`'s entries out of the list `read` from one profile; the error that kept the list
// from being read or written.
platform::ErrorCode UntrustList(const platform::Services& services, const std::string& variablesKey,
                                const StoredList& read, const std::string& folder, bool listMadeByInstall,
                                core::Report& report) {
  const std::string where = "TRUSTEDPATHS of HKCU\\" + variablesKey;
  if (read.error != platform::kErrorSuccess) {
    report.Line(platform::FormatText("%s not changed: it cannot be read whole (error %ld)", where.c_str(), read.error));
    return read.error;
  }
  const std::string kept = profile::TrustedPathsWithoutFolder(read.text, folder, services.isLeadByte);
  if (!read.valueExists || kept == read.text) return platform::kErrorSuccess;
  // A list that the install made, and that names nothing else, goes with the folder.
  const bool remove = listMadeByInstall && HoldsNoEntry(kept);
  ScopedRegKey key(services.registry);
  platform::ErrorCode written = services.registry.OpenKeyEx(platform::kHkeyCurrentUser, variablesKey.c_str(),
                                                            platform::kKeyReadWrite, key.Receive());
  if (written == platform::kErrorSuccess) {
    written = remove ? services.registry.DeleteValue(key.Get(), kTrustedPathsValue)
                     : platform::SetText(services.registry, key.Get(), kTrustedPathsValue, kept);
  }
  report.Line(written != platform::kErrorSuccess
                  ? platform::FormatText("%s not changed (error %ld)", where.c_str(), written)
              : remove ? where + " removed"
                       : where + " was \"" + read.text + "\", is \"" + kept + "\"");
  return written;
}

}  // namespace

namespace profile {

std::string TrustedPathsWithoutFolder(const std::string& list, const std::string& folder,
                                      platform::LeadByteTest isLeadByte) {
  const std::string upperFolder = Upper(folder, isLeadByte);
  std::string kept;
  bool first = true;
  for (const std::string& entry : platform::SplitAtCharacter(list, ';', isLeadByte)) {
    if (EntryNamesFolder(Upper(entry, isLeadByte), upperFolder, isLeadByte)) continue;
    kept += (first ? "" : ";") + entry;
    first = false;
  }
  return kept;
}

Trusted AddTrustedPath(const CAcadInstallInfo& info, core::Report& report) {
  bool complete = true;  // the install trusts the folder in the profiles it can see
  const acad::StringList variablesKeys = CollectVariablesKeys(info.Services(), complete);
  if (variablesKeys.empty()) report.Line("TRUSTEDPATHS: the user has no AutoCAD profile");
  platform::FirstError trusted;
  if (!complete) {
    report.Line("TRUSTEDPATHS: some profile of the user cannot be seen, and is not trusted");
    trusted += platform::kErrorAccessDenied;
  }
  for (const std::string& variablesKey : variablesKeys) {
    trusted += TrustFolderInProfile(info.Services(), info.m_strInstallDir, variablesKey, report);
  }
  return Trusted{variablesKeys.size(), trusted.Get()};
}

platform::ErrorCode UntrustFolder(const platform::Services& services, const std::string& variablesKey,
                                  const std::string& folder, bool listMadeByInstall, core::Report& report) {
  return UntrustList(services, variablesKey, ReadTrustedPaths(services.registry, variablesKey, kUninstallReadLimit),
                     folder, listMadeByInstall, report);
}

platform::ErrorCode RemoveTrustedPath(const CAcadInstallInfo& info, core::Report& report) {
  bool complete = true;
  const acad::StringList variablesKeys = CollectVariablesKeys(info.Services(), complete);
  platform::FirstError removed;
  if (!complete) {
    report.Line("TRUSTEDPATHS: some profile of the user cannot be seen, and may still name the folder");
    removed += platform::kErrorAccessDenied;
  }
  for (const std::string& variablesKey : variablesKeys) {
    // A list longer than the program ever writes was never given the folder by it.
    const StoredList read = ReadTrustedPaths(info.Services().registry, variablesKey, kUninstallReadLimit);
    if (read.error == platform::kErrorMoreData) continue;
    removed += UntrustList(info.Services(), variablesKey, read, info.m_strInstallDir, false, report);
  }
  return removed.Get();
}

}  // namespace profile
