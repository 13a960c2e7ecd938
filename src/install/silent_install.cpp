#include "install/silent_install.h"

#include "deploy/file_utilities.h"
#include "install/exit_codes.h"
#include "install/install_sequence.h"
#include "platform/texts.h"

namespace install {
namespace {

// Nobody to ask: a missing package and a failed copy end the install (both are logged).
class SilentQuestions final : public deploy::CopyQuestions {
 public:
  void PackageNotFound() override {}
  deploy::CopyAnswer CopyFailed(const std::string&, platform::ErrorCode) override { return deploy::CopyAnswer::Abort; }
};

// No bar to show.
class NoProgressBar final : public platform::ProgressBar {
 public:
  void Send(std::uint32_t, std::uintptr_t, std::intptr_t) override {}
};

int CannotProceed(InstallLog& log, const std::string& why) {
  log.Line("the install does not start: " + why);
  return kExitCannotProceed;
}

}  // namespace

std::optional<acad::ReleaseTicks> TicksFor(const CAcadInstallInfo& info, int packageBits,
                                           const std::optional<std::vector<int>>& asked) {
  acad::ReleaseTicks ticks{};
  for (int index = 0; index < acad::kReleaseCount; ++index) {
    ticks[index] = !asked && IsOffered(info, acad::ReleaseYear(index), packageBits) ? 1 : 0;
  }
  for (const int year : asked.value_or(std::vector<int>{})) {
    if (!acad::IsSupportedRelease(year) || !IsOffered(info, year, packageBits)) return std::nullopt;
    ticks[acad::ReleaseIndex(year)] = 1;
  }
  return ticks;
}

int RunSilentInstall(const platform::Services& services, CAcadInstallInfo& info, int packageBits,
                     const SilentChoices& choices, InstallLog& log) {
  const std::optional<acad::ReleaseTicks> ticks = TicksFor(info, packageBits, choices.releases);
  LogInstallations(log, info, ticks.value_or(acad::ReleaseTicks{}));
  if (deploy::IsAcadRunning(services)) return CannotProceed(log, "AutoCAD is running");
  if (!ticks) return CannotProceed(log, "a release asked for was not found, or this package does not serve it");
  if (*ticks == acad::ReleaseTicks{}) return CannotProceed(log, "no release to install");
  const FolderChoice choice = ChooseFolder(services, choices.folder.value_or(kDefaultFolder));
  if (choice.refusal != nullptr) {
    const bool tooLong = choice.refusal == texts::kInstallPathTooLong;
    return CannotProceed(log, "the folder \"" + choices.folder.value_or(kDefaultFolder) +
                                  (tooLong ? "\" is too long" : "\" cannot be resolved"));
  }
  SilentQuestions questions;
  NoProgressBar progress;
  switch (Install(InstallRun{services, info, packageBits, progress, questions, log}, choice.folder, *ticks)) {
    case InstallEnd::Finished: return kExitFinished;
    case InstallEnd::FinishedWithErrors: return kExitFinishedWithErrors;
    case InstallEnd::PackageMissing:
    case InstallEnd::Aborted: return kExitFailed;
  }
  return kExitFailed;
}

}  // namespace install
