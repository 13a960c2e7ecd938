// CAcadInstallInfo: the one record of what the program knows about AutoCAD on this machine.
// Per release it lists the installations found at start-up (program folder and product key,
// at the same position in two parallel lists); it also holds the add-on's installation folder
// once the user has chosen it. The members are read directly by the dialog and the install.
#pragma once

#include <array>
#include <string>
#include <vector>

#include "acad/release_table.h"
#include "platform/services.h"

class CAcadInstallInfo {
 public:
  explicit CAcadInstallInfo(const platform::Services& services);

  // Fills the per-release lists from the machine-wide registry. Run once at start-up;
  // it only appends and never reports a failure.
  void ScanInstalledReleases();

  // Stores the installation folder, dropping one trailing backslash.
  void SetInstallDir(const std::string& path);

  // The services the record was built with, for the operations on it.
  const platform::Services& Services() const { return m_services; }

  std::string m_strInstallDir;
  // AutoCAD program folders found, per release, without a trailing backslash.
  std::array<acad::StringList, acad::kReleaseCount> m_arrAcadLocation;
  // Product key paths below HKEY_LOCAL_MACHINE, ending in a backslash; entry n belongs
  // to entry n of m_arrAcadLocation.
  std::array<acad::StringList, acad::kReleaseCount> m_arrProductKey;
  // Work fields of the registry tree search: the value looked for and what it found.
  std::string m_strSearchValue;
  acad::StringList m_arrFoundKey;
  acad::StringList m_arrFoundValue;

 private:
  void ScanAcadRoot(const char* rootPath, const char* prefixFormat, int lastReleaseYear);
  void ScanReleaseKey(platform::RegKey releaseKey, const std::string& prefix, int lastReleaseYear);
  void SearchReleaseKey(platform::RegKey releaseKey, const std::string& prefix, const char* valueName,
                        acad::StringList& keys, acad::StringList& texts);
  void CollectValueInTree(platform::RegKey parent, const std::string& subKeyName, const std::string& relativePath,
                          const std::string& prefix);
  void RecordInstallation(int year, const std::string& productKey, const std::string& folder);

  const platform::Services& m_services;
};

namespace acad {

// Appends the name of every direct subkey of `key` that opens with KEY_READ, in the
// registry's enumeration order. Neither clears the list nor closes the key.
void ListOpenableSubKeys(platform::Registry& registry, platform::RegKey key, StringList& list);

// Drops the text's last character when it is a backslash that is not also its first character:
// platform::DropTrailingBackslash, except that a lone "\" stays.
void StripTrailingBackslash(std::string& text, platform::LeadByteTest isLeadByte);

// The release whose year text occurs in a product name after its first character, trying
// the years from 2007 up to `lastReleaseYear`; 0 when there is none.
int ReleaseOfProductName(const std::string& productName, int lastReleaseYear);

}  // namespace acad
