// Making every installed AutoCAD of a ticked release load the add-on at start-up: a demand-load
// entry "Applications\Vortel<year>" beneath each of the release's product keys.
#pragma once

#include "acad/install_info.h"
#include "core/report.h"

namespace profile {

// Writes the demand-load entry of every ticked release beneath each of its product keys (the
// install then trusts the folder with profile::AddTrustedPath). `packageBits` is the
// bitness of the AutoCAD edition the package serves; 64 adds two extra entries. Every entry is
// logged; the first error of an entry that was not written.
platform::ErrorCode RegisterLoaders(const CAcadInstallInfo& info, const acad::ReleaseTicks& ticks, int packageBits,
                                    core::Report& report);
platform::ErrorCode RegisterLoader(const CAcadInstallInfo& info, int year, int packageBits, core::Report& report);

// Removes one entry the install wrote beneath a product key (below HKLM, ending in a backslash),
// only while its LOADER still names a file in `folder`. Success also when the entry is gone or
// names another installation.
platform::ErrorCode UnregisterLoaderEntry(const platform::Services& services, const std::string& productKeyPath,
                                          const std::string& entryName, const std::string& folder,
                                          core::Report& report);

}  // namespace profile
