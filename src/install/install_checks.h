// What an install is to do, and whether it may start: the one check before any install, whose
// refusal each front end shows in its own way (a message box, or a line of the log).
#pragma once

#include <optional>
#include <string>

#include "acad/install_info.h"
#include "core/choices.h"
#include "core/endings.h"
#include "platform/services.h"

namespace install {

// The folder chosen (made absolute, without a trailing backslash; its V-Trelmox is the
// installation folder) and the releases ticked.
struct InstallTarget {
  std::string folder;
  acad::ReleaseTicks ticks{};
  std::string refusedBecause;  // what is wrong with a folder refused
};

// The folder an install starts from when none is given: the one the installed add-on was put
// below, else the default.
std::string StartingFolder(const platform::Services& services);

// Whether an install may serve a release: it was found at start-up, and a package for 32-bit
// AutoCAD serves none from 2017 on.
bool IsOffered(const CAcadInstallInfo& info, int year, int packageBits);

// The releases to tick: those asked for, or every one offered; nothing when one asked for is not
// offered (not found, or not served by this package).
std::optional<acad::ReleaseTicks> TicksFor(const CAcadInstallInfo& info, int packageBits,
                                           const std::optional<std::vector<int>>& asked);

// Checks, in this order: AutoCAD running (when `checkAcad`), the releases, the folder. The folder
// typed is made absolute as Windows resolves it for this program ("tools\cad", "D:cad"); an empty
// one, one that cannot be resolved or holds a ';' (the separator of AutoCAD's trusted paths), one
// whose installation folder would be too long for the program's paths, and one on a drive or
// share that does not exist are refused, and so, for a per-machine (elevated) install, is one that
// others could change (see CheckFolderLevels). Fills `target` when it may start.
core::Refusal CheckInstall(const platform::Services& services, const CAcadInstallInfo& info, int packageBits,
                           const core::RunChoices& choices, bool checkAcad, InstallTarget* target);

}  // namespace install
