// The uninstall: everything the install's journal names is undone, and nothing else is touched
// (see journal/removal.h). When the program that runs it is the maintenance copy in the folder
// being removed, a copy of it in the temporary folder finishes the removal once it has ended.
// Also the per-user step that Active Setup runs at each user's logon.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "acad/install_info.h"
#include "core/choices.h"
#include "core/endings.h"
#include "core/report.h"
#include "platform/progress_bar.h"
#include "platform/services.h"

namespace uninstall {

// The installation folder of the running program when it runs as the maintenance copy; none
// otherwise.
std::optional<std::string> MaintenanceCopyFolder(const platform::Services& services);

// Whether the running program is the copy that finishes a removal, in its folder of its own in the
// temporary folder.
bool IsFinishingCopy(const platform::Services& services);

// What one uninstall runs on; none of it is owned.
struct UninstallRun {
  const platform::Services& services;
  CAcadInstallInfo& installInfo;
  platform::ProgressBar& progress;
  core::Report& report;
  const core::RunChoices& choices;
  std::string logPath;  // where the log is written, for a run that finishes the removal
};

struct UninstallResult {
  core::Ending ending = core::Ending::Finished;
  std::vector<std::string> changed;  // files left as they are: changed after the install
};

// The installation folder an uninstall removes, when it may start: below the folder given, else
// the maintenance copy's own, else the one Programs and Features names. None, with the reason
// logged, when the add-on is not installed (`*refusal` is None) or while AutoCAD runs.
std::optional<std::string> FolderIfUninstallStarts(const UninstallRun& run, core::Refusal* refusal);

// Removes the installation in `installFolder`, stepping the bar from 0 to 5.
UninstallResult Uninstall(const UninstallRun& run, const std::string& installFolder);

// The uninstall without a window.
core::Ending RunSilentUninstall(const UninstallRun& run);

// The per-user step Active Setup runs at each user's logon: trusts the maintenance copy's
// installation folder in every AutoCAD profile of the user, once.
core::Ending TrustFolderForUser(const platform::Services& services, CAcadInstallInfo& info, core::Report& report);

}  // namespace uninstall
