// CAcadInstallInfo: the one record of what the program knows about AutoCAD on this machine.
// Per release it lists the installations found at start-up (program folder and product key,
// at the same position in two parallel lists); it also holds the add-on's installation folder
// once the user has chosen it. The members are read directly by the dialog and the install.
#pragma once

#include <array>
#include <vector>
#include <string>

#include "acad/release_table.h"
#include "deploy/copy_questions.h"
#include "install/install_report.h"
#include "platform/services.h"

class CAcadInstallInfo {
 public:
  explicit CAcadInstallInfo(const platform::Services& services);

  // Fills the per-release lists from the machine-wide registry. Run once at start-up;
  // it only appends and never reports a failure.
  void ScanInstalledReleases();

  // Stores the installation folder, dropping one trailing backslash.
  void SetInstallDir(const std::string& path);

  // Writes the demand-load entry of every ticked release beneath each of its product keys,
  // then trusts the installation folder in every AutoCAD profile of the user. `packageBits`
  // is the bitness of the AutoCAD edition the package serves; 64 adds two extra entries.
  // True when every loader entry it set out to write was written. Every entry is logged.
  bool RegisterLoaders(const acad::ReleaseTicks& ticks, int packageBits, install::InstallReport& report);
  bool RegisterLoader(int year, int packageBits, install::InstallReport& report);

  // Adds the installation folder to TRUSTEDPATHS in every AutoCAD profile of the user, logging
  // each list before and after (or why it was left alone).
  void AddTrustedPath(install::InstallReport& report);
  // Takes the installation folder out of TRUSTEDPATHS in every AutoCAD profile of the user (the
  // folder's entries alone); a list named in `valuesMade` that is left naming nothing goes.
  void RemoveTrustedPath(const std::vector<std::string>& valuesMade, install::InstallReport& report);

  // Copies the add-on's fonts (and, for AutoCAD 2008, its plot driver) into the program
  // folder of every installation of every ticked release, logging each copy. Failures are
  // silent; a missing package is told to `questions` for each folder.
  void DeployToAcadFolders(const acad::ReleaseTicks& ticks, deploy::CopyQuestions& questions,
                           install::InstallReport& report);

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
  void ScanReleaseKey(platform::RegKey releaseKey, const std::string& prefix,
                      int lastReleaseYear);
  void SearchReleaseKey(platform::RegKey releaseKey, const std::string& prefix,
                        const char* valueName, acad::StringList& keys, acad::StringList& texts);
  void CollectValueInTree(platform::RegKey parent, const std::string& subKeyName,
                          const std::string& relativePath, const std::string& prefix);
  void RecordInstallation(int year, const std::string& productKey, const std::string& folder);
  platform::ErrorCode WriteLoaderEntry(platform::RegKey productKey, const std::string& entryName,
                                       const std::string& loader);
  bool RegisterLoaderEntry(platform::RegKey productKey, const std::string& productKeyPath, int entryYear,
                           const char* entryFormat, int loaderYear, const char* loaderFormat,
                           install::InstallReport& report);
  acad::StringList CollectProfilesKeys();
  acad::StringList CollectVariablesKeys(const acad::StringList& profilesKeys);
  void TrustFolderInProfile(const std::string& variablesKey, install::InstallReport& report);
  void DeployToAcadFolder(std::string acadFolder, bool withPlotDriver, deploy::CopyQuestions& questions,
                          install::InstallReport& report);

  const platform::Services& m_services;
};

namespace acad {

// Appends the name of every direct subkey of `key` that opens with KEY_READ, in the
// registry's enumeration order. Neither clears the list nor closes the key.
void ListOpenableSubKeys(platform::Registry& registry, platform::RegKey key, StringList& list);

// Drops the text's last character when it is a backslash that is not also its first
// character (so "\" stays). Characters are found by the multibyte rules.
void StripTrailingBackslash(std::string& text, platform::LeadByteTest isLeadByte);

// A TRUSTEDPATHS list without the entries that name `folder` (the folder itself in any case, with
// one trailing backslash or AutoCAD's "\..."); every other entry, their order and the separators
// between them are kept.
std::string TrustedPathsWithoutFolder(const std::string& list, const std::string& folder,
                                      platform::LeadByteTest isLeadByte);

// The release whose year text occurs in a product name after its first character, trying
// the years from 2007 up to `lastReleaseYear`; 0 when there is none.
int ReleaseOfProductName(const std::string& productName, int lastReleaseYear);

}  // namespace acad
