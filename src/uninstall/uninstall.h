// The uninstall: everything the install's record names is undone, and nothing else is touched.
// Loader entries go only while they still name this installation folder, the folder leaves
// every trusted-path list of the user, the files the install copied go and then the folders
// it made when nothing else is left in them, the original of a replaced driver comes back, and
// the registry keys the install made go when they are empty. The fonts stay.
#pragma once

#include <optional>
#include <string>

#include "acad/install_info.h"
#include "core/report.h"
#include "platform/progress_bar.h"
#include "platform/services.h"

namespace uninstall {

// What one uninstall runs on; none of it is owned.
struct UninstallRun {
  const platform::Services& services;
  CAcadInstallInfo& installInfo;
  platform::ProgressBar& progress;
  core::Report& report;
};

enum class UninstallEnd {
  Finished,            // everything was undone (or is deleted when Windows next starts)
  FinishedWithErrors,  // everything was tried, but something could not be removed
  RecordUnreadable,    // the record is missing or cannot be read whole: nothing was done
};

// The installation folder of the running program when it runs as the maintenance copy; none
// otherwise.
std::optional<std::string> MaintenanceCopyFolder(const platform::Services& services);

// The installation folder to remove: the maintenance copy's own, else the one Programs and
// Features names; none when the add-on is not installed.
std::optional<std::string> FolderToRemove(const platform::Services& services);

// Undoes the install of `installFolder`, stepping the bar from 0 to 5.
UninstallEnd Uninstall(const UninstallRun& run, const std::string& installFolder);

// The per-user step Active Setup runs at each user's logon: trusts the maintenance copy's
// installation folder in every AutoCAD profile of the user, once.
void TrustFolderForUser(const platform::Services& services, CAcadInstallInfo& info, core::Report& report);

}  // namespace uninstall

namespace uninstall {

// The program's exit code for an uninstall that ran.
int ExitCodeOf(UninstallEnd end);

// The uninstall without a window: cannot proceed while AutoCAD runs or when the add-on is not
// installed; failed when its record cannot be read.
int RunSilentUninstall(const platform::Services& services, CAcadInstallInfo& info, core::Report& report);

}  // namespace uninstall
