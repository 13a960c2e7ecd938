// The install run without a window, for deployment tools: the choices the dialog would have
// started with, changed by the command line; no message box, every question answered by itself
// (a program file that cannot be copied ends the install as Abort would); every decision logged.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "acad/install_info.h"
#include "core/report.h"

namespace install {

// The folder the dialog starts with.
inline constexpr char kDefaultFolder[] = "C:\\Vortel";

struct SilentChoices {
  std::optional<std::string> folder;          // none: the default folder
  std::optional<std::vector<int>> releases;   // none: every release found and offered
};

// The releases to tick: those offered, or those asked for; nothing when one asked for is not
// offered (not found, or not served by this package).
std::optional<acad::ReleaseTicks> TicksFor(const CAcadInstallInfo& info, int packageBits,
                                           const std::optional<std::vector<int>>& asked);

// Runs the install and answers how it ended, as the program's exit code: finished, finished
// with errors, failed (the package missing, a file not copied), or cannot proceed (AutoCAD
// runs, nothing to install, the folder refused), in which case nothing was made.
int RunSilentInstall(const platform::Services& services, CAcadInstallInfo& info, int packageBits,
                     const SilentChoices& choices, core::Report& report);

}  // namespace install
