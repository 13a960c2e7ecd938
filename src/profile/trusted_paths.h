// Trusting the installation folder in every AutoCAD profile of the current user, and taking it
// out again.
#pragma once

#include <string>
#include <vector>

#include "acad/install_info.h"
#include "core/report.h"

namespace profile {

// Adds the installation folder to TRUSTEDPATHS in every AutoCAD profile of the user, logging
// each list before and after (or why it was left alone).
void AddTrustedPath(const CAcadInstallInfo& info, core::Report& report);

// Takes the installation folder out of TRUSTEDPATHS in every AutoCAD profile of the user (the
// folder's entries alone); a list named in `valuesMade` that is left naming nothing goes.
void RemoveTrustedPath(const CAcadInstallInfo& info, const std::vector<std::string>& valuesMade,
                       core::Report& report);

// A TRUSTEDPATHS list without the entries that name `folder` (the folder itself in any case, with
// one trailing backslash or AutoCAD's "\..."); every other entry, their order and the separators
// between them are kept.
std::string TrustedPathsWithoutFolder(const std::string& list, const std::string& folder,
                                      platform::LeadByteTest isLeadByte);

}  // namespace profile
