// What lets an installation be found and removed again: the maintenance copy of the program in
// the installation folder, the entry of Programs and Features, and the per-user step of Active
// Setup that trusts the folder for every user at their next logon. The entry and the step are
// written last, by an install that stands; each is removed only while it names its folder.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "core/report.h"
#include "platform/services.h"

namespace journal {

inline constexpr char kMaintenanceName[] = "Uninstall.exe";
// The switch of the maintenance copy that Active Setup runs for each user at logon.
inline constexpr char kTrustUserSwitch[] = "/TRUSTUSER";
// Both keys, below HKLM (the entry below the user's HKCU where HKLM cannot be written).
inline constexpr char kUninstallKey[] =
    "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\VortelStructureToolbox";
inline constexpr char kActiveSetupKey[] =
    "SOFTWARE\\Microsoft\\Active Setup\\Installed Components\\VortelStructureToolbox";

// Writes the uninstall entry (below HKLM, or the user's HKCU where HKLM cannot be written;
// installing again rewrites the one entry) and, where HKLM can be written, the per-user step,
// reporting the step as done once every value of it is written. The error of an entry or a step
// not written.
platform::ErrorCode RegisterMaintenance(const platform::Services& services, const std::string& installFolder,
                                        std::uint64_t installedBytes, core::Report& report);

// The installation folder that the uninstall entry names (HKLM's first, then the user's); none
// when the add-on is not installed.
std::optional<std::string> RegisteredInstallFolder(const platform::Services& services);

// The version the uninstall entry names (DisplayVersion, HKLM's first); empty when none.
std::string RegisteredVersion(const platform::Services& services);

// Compares two versions written as numbers between dots ("2026.08.05"), number by number, a
// missing one counting as 0: negative when `a` is older, 0 when they are the same, else positive.
int CompareVersions(const std::string& a, const std::string& b);

// Removes the uninstall entry and the per-user step, each only where it names `installFolder`; the
// error of one that could not be told or removed.
platform::ErrorCode UnregisterMaintenance(const platform::Services& services, const std::string& installFolder,
                                          core::Report& report);

}  // namespace journal
