// Finding the AutoCAD installations that the machine-wide registry describes. An installation
// is a key below a release key of one of the two AutoCAD roots that holds both "AcadLocation"
// and "ProductName"; its release is the year found in the product name.
#include <algorithm>
#include <array>

#include "acad/install_info.h"
#include "platform/format.h"
#include "platform/registry_values.h"

using platform::RegKey;
using platform::ScopedRegKey;

namespace {

constexpr std::uint32_t kNameBufferSize = 256;
constexpr std::uint32_t kDataBufferSize = 520;

const char kAcadLocationValue[] = "AcadLocation";
const char kProductNameValue[] = "ProductName";

std::uint32_t SubKeyCount(platform::Registry& registry, RegKey key) {
  std::uint32_t count = 0;
  if (registry.QuerySubKeyCount(key, &count) != platform::kErrorSuccess) return 0;
  return count;
}

// The name of the subkey at `index`, or false when it cannot be read.
bool SubKeyName(platform::Registry& registry, RegKey key, std::uint32_t index, std::string& name) {
  std::array<char, kNameBufferSize> buffer{};
  std::uint32_t length = kNameBufferSize;
  if (registry.EnumKey(key, index, buffer.data(), &length) != platform::kErrorSuccess) return false;
  name.assign(buffer.data(), std::find(buffer.begin(), buffer.end(), '\0'));
  return true;
}

std::string FormatPrefix(const char* prefixFormat, const std::string& releaseKeyName) {
  return platform::FormatText(prefixFormat, releaseKeyName.c_str());
}

}  // namespace

void CAcadInstallInfo::ScanInstalledReleases() {
  ScanAcadRoot("SOFTWARE\\Wow6432Node\\Autodesk\\AutoCAD", "SOFTWARE\\Wow6432Node\\Autodesk\\AutoCAD\\%s\\",
               acad::kLastReleaseOf32BitRoot);
  ScanAcadRoot("SOFTWARE\\Autodesk\\AutoCAD", "SOFTWARE\\Autodesk\\AutoCAD\\%s\\", acad::kLastReleaseYear);
}

void CAcadInstallInfo::ScanAcadRoot(const char* rootPath, const char* prefixFormat, int lastReleaseYear) {
  platform::Registry& registry = m_services.registry;
  ScopedRegKey machine(registry);
  if (registry.OpenKey(platform::kHkeyLocalMachine, nullptr, machine.Receive()) != platform::kErrorSuccess) {
    return;
  }
  ScopedRegKey root(registry);
  if (registry.OpenKeyEx(machine.Get(), rootPath, platform::kKeyRead, root.Receive()) != platform::kErrorSuccess) {
    return;
  }
  const std::uint32_t releaseCount = SubKeyCount(registry, root.Get());
  for (std::uint32_t index = 0; index < releaseCount; ++index) {
    std::string releaseName;
    if (!SubKeyName(registry, root.Get(), index, releaseName)) continue;
    const std::string prefix = FormatPrefix(prefixFormat, releaseName);
    ScopedRegKey releaseKey(registry);
    if (registry.OpenKeyEx(root.Get(), releaseName.c_str(), platform::kKeyRead, releaseKey.Receive()) !=
        platform::kErrorSuccess) {
      continue;
    }
    ScanReleaseKey(releaseKey.Get(), prefix, lastReleaseYear);
  }
}

void CAcadInstallInfo::ScanReleaseKey(RegKey releaseKey, const std::string& prefix, int lastReleaseYear) {
  acad::StringList locationKeys, locationTexts, nameKeys, nameTexts;
  SearchReleaseKey(releaseKey, prefix, kAcadLocationValue, locationKeys, locationTexts);
  SearchReleaseKey(releaseKey, prefix, kProductNameValue, nameKeys, nameTexts);

  for (std::size_t n = 0; n < locationKeys.size(); ++n) {
    std::string folder = locationTexts[n];
    acad::StripTrailingBackslash(folder, m_services.isLeadByte);
    for (std::size_t m = 0; m < nameKeys.size(); ++m) {
      if (nameKeys[m] != locationKeys[n]) continue;
      const int year = acad::ReleaseOfProductName(nameTexts[m], lastReleaseYear);
      if (year != 0) RecordInstallation(year, locationKeys[n], folder);
    }
  }
}

void CAcadInstallInfo::SearchReleaseKey(RegKey releaseKey, const std::string& prefix, const char* valueName,
                                        acad::StringList& keys, acad::StringList& texts) {
  m_arrFoundKey.clear();
  m_arrFoundValue.clear();
  m_strSearchValue = valueName;
  CollectValueInTree(releaseKey, std::string(), std::string(), prefix);
  keys = m_arrFoundKey;
  texts = m_arrFoundValue;
}

void CAcadInstallInfo::CollectValueInTree(RegKey parent, const std::string& subKeyName, const std::string& relativePath,
                                          const std::string& prefix) {
  platform::Registry& registry = m_services.registry;
  ScopedRegKey key(registry);
  if (registry.OpenKeyEx(parent, subKeyName.c_str(), platform::kKeyRead, key.Receive()) != platform::kErrorSuccess) {
    return;
  }
  platform::ValueText value;
  if (platform::ReadValueText(registry, key.Get(), m_strSearchValue.c_str(), kDataBufferSize, &value) ==
      platform::kErrorSuccess) {
    m_arrFoundKey.push_back(prefix + relativePath);
    m_arrFoundValue.push_back(value.text);
    return;
  }
  const std::uint32_t childCount = SubKeyCount(registry, key.Get());
  for (std::uint32_t index = 0; index < childCount; ++index) {
    std::string childName;
    if (!SubKeyName(registry, key.Get(), index, childName)) continue;
    CollectValueInTree(key.Get(), childName, relativePath + childName + "\\", prefix);
  }
}

void CAcadInstallInfo::RecordInstallation(int year, const std::string& productKey, const std::string& folder) {
  const int index = acad::ReleaseIndex(year);
  m_arrProductKey[index].push_back(productKey);
  m_arrAcadLocation[index].push_back(folder);
}

namespace acad {

void ListOpenableSubKeys(platform::Registry& registry, RegKey key, StringList& list) {
  const std::uint32_t count = SubKeyCount(registry, key);
  for (std::uint32_t index = 0; index < count; ++index) {
    std::string name;
    if (!SubKeyName(registry, key, index, name)) continue;
    ScopedRegKey subKey(registry);
    if (registry.OpenKeyEx(key, name.c_str(), platform::kKeyRead, subKey.Receive()) == platform::kErrorSuccess) {
      list.push_back(name);
    }
  }
}

void StripTrailingBackslash(std::string& text, platform::LeadByteTest isLeadByte) {
  if (text.size() > 1) platform::DropTrailingBackslash(text, isLeadByte);
}

int ReleaseOfProductName(const std::string& productName, int lastReleaseYear) {
  for (int year = kFirstReleaseYear; year <= lastReleaseYear; ++year) {
    const std::size_t position = productName.find(std::to_string(year));
    if (position != std::string::npos && position > 0) return year;
  }
  return 0;
}

}  // namespace acad
