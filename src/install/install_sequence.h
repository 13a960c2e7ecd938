// The install itself, shared by the setup dialog and the run without a window: the folder
// prepared, then the copies, the registration and the deployment behind a progress bar, and the
// maintenance entries last, every step told to the log and every effect to the journal.
#pragma once

#include <optional>
#include <string>

#include "acad/install_info.h"
#include "core/endings.h"
#include "core/questions.h"
#include "core/report.h"
#include "install/install_checks.h"
#include "platform/progress_bar.h"
#include "platform/services.h"

namespace install {

// Every installation found at start-up, and the releases ticked.
void LogInstallations(core::Report& report, const CAcadInstallInfo& info, const acad::ReleaseTicks& ticks);

// The version installed when it is newer than this package's (both logged); none otherwise.
std::optional<std::string> NewerVersionInstalled(const platform::Services& services, core::Report& report);

// What one install runs on; none of it is owned.
struct InstallRun {
  const platform::Services& services;
  CAcadInstallInfo& installInfo;
  int packageBits;
  platform::ProgressBar& progress;
  core::CopyQuestions& questions;
  core::Report& report;
  // A run that fails or aborts undoes what it did (the run without a window); otherwise what was
  // copied before an abort stays, as the dialog's Abort promises.
  bool rollBackOnFailure;
};

// Prepares the installation folder "V-Trelmox" in the folder chosen, copies the program files,
// the extension library and the program itself (its maintenance copy), registers the loaders of
// the ticked releases, trusts the folder in the user's profiles and places the fonts and the
// driver, stepping the bar from 0 to 50; then, where the journal and the maintenance copy are in
// place, writes the maintenance entries, and removes the installation in another folder they
// named before. Files of the installation there before that this package no longer ships go when
// unchanged. A missing package or an abort ends it there and registers nothing. The outcome
// names what could not be done.
core::Outcome Install(const InstallRun& run, const InstallTarget& target);

}  // namespace install
