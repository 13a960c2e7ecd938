// The install itself, shared by the setup dialog and the run without a window: the folder
// chosen, then the copies, the registration and the deployment behind a progress bar, every
// step told to the install log.
#pragma once

#include <string>

#include "acad/install_info.h"
#include "core/questions.h"
#include "core/report.h"
#include "platform/progress_bar.h"
#include "platform/services.h"

namespace install {

// The folder an install goes to for a folder typed, or why it is refused.
struct FolderChoice {
  std::string folder;             // made absolute, without a trailing backslash
  const char* refusal = nullptr;  // the text that refuses it, or none
};
// The folder typed made absolute (GetFullPathNameA: "tools\cad" and "D:cad" as Windows resolves
// them for this program), less one trailing backslash. An empty folder, one that cannot be
// resolved, one holding a ';' (the separator of AutoCAD's trusted paths), or one whose
// installation folder would be too long for the program's paths, is refused.
FolderChoice ChooseFolder(const platform::Services& services, const std::string& typed);

// Whether an install may serve a release: it was found at start-up, and a package for 32-bit
// AutoCAD serves none from 2017 on.
bool IsOffered(const CAcadInstallInfo& info, int year, int packageBits);

// The first lines of a log: the program's version, the command line, the date, the elevation.
void LogRunStart(core::Report& report, const platform::Services& services, const std::string& commandLine);
// Every installation found at start-up, and the releases ticked.
void LogInstallations(core::Report& report, const CAcadInstallInfo& info, const acad::ReleaseTicks& ticks);

// What one install runs on; none of it is owned.
struct InstallRun {
  const platform::Services& services;
  CAcadInstallInfo& installInfo;
  int packageBits;
  platform::ProgressBar& progress;
  core::CopyQuestions& questions;
  core::Report& report;
};

enum class InstallEnd {
  Finished,            // every step ran and every loader entry was written
  FinishedWithErrors,  // every step ran, but some loader entry could not be written
  PackageMissing,      // nothing was copied: the package is not beside the program
  Aborted,             // a program file was not copied and the answer was to abort
};

// Makes the chosen folder (every missing level) and in it the installation folder "V-Trelmox"
// (with an access list of its own when the program makes it), then copies the program files
// and the extension library, registers the loaders of the ticked releases, trusts the folder
// in the user's profiles and places the fonts and the driver, stepping the bar from 0 to 50.
// After a missing package or an abort nothing further runs; what was made stays (a missing
// package leaves no record of the install, an abort a record of what was copied).
InstallEnd Install(const InstallRun& run, const std::string& chosenFolder, const acad::ReleaseTicks& ticks);

}  // namespace install
