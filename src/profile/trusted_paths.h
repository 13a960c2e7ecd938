// Trusting the installation folder in every AutoCAD profile of the current user, and taking it
// out again.
#pragma once

#include <string>

#include "acad/install_info.h"
#include "core/report.h"

namespace profile {

// How many AutoCAD profiles the user has, and the first error of one that could not be seen or
// was left without the folder.
struct Trusted {
  std::size_t profiles = 0;
  platform::ErrorCode error = platform::kErrorSuccess;
};

// Adds the installation folder to TRUSTEDPATHS in every AutoCAD profile of the user, logging
// each list before and after (or why it was left alone).
Trusted AddTrustedPath(const CAcadInstallInfo& info, core::Report& report);

// Takes `folder`'s entries out of the TRUSTEDPATHS of one profile (its Variables key below HKCU);
// a list the install made that is left naming nothing goes. Success when the list no longer names
// the folder (or never did); the error that kept it from being read or written otherwise.
platform::ErrorCode UntrustFolder(const platform::Services& services, const std::string& variablesKey,
                                  const std::string& folder, bool listMadeByInstall, core::Report& report);

// Takes the installation folder out of every TRUSTEDPATHS of the user that names it (a list longer
// than the program writes is left: it never gave it the folder). The first error of a list that
// could not be read or changed, or of a profile that could not be seen.
platform::ErrorCode RemoveTrustedPath(const CAcadInstallInfo& info, core::Report& report);

// A TRUSTEDPATHS list without the entries that name `folder` (the folder itself in any case, with
// one trailing backslash or AutoCAD's "\..."); every other entry, their order and the separators
// between them are kept.
std::string TrustedPathsWithoutFolder(const std::string& list, const std::string& folder,
                                      platform::LeadByteTest isLeadByte);

}  // namespace profile
