#include "install/silent_install.h"

#include "deploy/file_utilities.h"
#include "core/endings.h"
#include "install/install_sequence.h"
#include "platform/texts.h"

namespace install {
namespace {

// Nobody to ask: a missing package and a failed copy end the install (both are logged).
class SilentQuestions final : public core::CopyQuestions {
 public:
  void PackageNotFound() override {}
  core::CopyAnswer CopyFailed(const std::string&, platform::ErrorCode) override { return core::CopyAnswer::Abort; }
};

int CannotProceed(core::Report& report, const std::string& why) {
  report.Line("the install does not start: " + why);
  return core::kExitCannotProceed;
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
                     const SilentChoices& choices, core::Report& report) {
  const std::optional<acad::ReleaseTicks> ticks = TicksFor(info, packageBits, choices.releases);
  LogInstallations(report, info, ticks.value_or(acad::ReleaseTicks{}));
  if (deploy::IsAcadRunning(services)) return CannotProceed(report, "AutoCAD is running");
  if (!ticks) return CannotProceed(report, "a release asked for was not found, or this package does not serve it");
  if (*ticks == acad::ReleaseTicks{}) return CannotProceed(report, "no release to install");
  const FolderChoice choice = ChooseFolder(services, choices.folder.value_or(kDefaultFolder));
  if (choice.refusal != nullptr) {
    const bool tooLong = choice.refusal == texts::kInstallPathTooLong;
    return CannotProceed(report, "the folder \"" + choices.folder.value_or(kDefaultFolder) +
                                  (tooLong ? "\" is too long" : "\" cannot be resolved, or holds a ';'"));
  }
  SilentQuestions questions;
  platform::NoProgressBar progress;
  switch (Install(InstallRun{services, info, packageBits, progress, questions, report}, choice.folder, *ticks)) {
    case InstallEnd::Finished: return core::kExitFinished;
    case InstallEnd::FinishedWithErrors: return core::kExitFinishedWithErrors;
    case InstallEnd::PackageMissing:
    case InstallEnd::Aborted: return core::kExitFailed;
  }
  return core::kExitFailed;
}

}  // namespace install
