#include "install/silent_install.h"

#include "install/install_sequence.h"

namespace install {
namespace {

// Nobody to ask: a missing package ends the install, a file in use is put in place when Windows
// next starts, and any other copy failure ends the install as Abort would (all of it logged).
class SilentQuestions final : public core::CopyQuestions {
 public:
  void PackageNotFound() override {}
  core::CopyAnswer CopyFailed(const std::string&, platform::ErrorCode error) override {
    return core::IsInUse(error) ? core::CopyAnswer::ReplaceAtRestart : core::CopyAnswer::Abort;
  }
};

}  // namespace

core::Ending RunSilentInstall(const platform::Services& services, CAcadInstallInfo& info, int packageBits,
                              const core::RunChoices& choices, core::Report& report) {
  InstallTarget target;
  const core::Refusal refusal = CheckInstall(services, info, packageBits, choices, true, &target);
  LogInstallations(report, info, target.ticks);
  if (refusal != core::Refusal::None) {
    report.Line(std::string("the install does not start: ") + core::RefusalReason(refusal));
    if (!target.refusedBecause.empty()) report.Line(target.refusedBecause);
    return core::EndingOf(refusal);
  }
  if (NewerVersionInstalled(services, report) && !choices.allowDowngrade) {
    report.Line("the install does not start: a newer version is installed (/ALLOWDOWNGRADE replaces it)");
    return core::Ending::NewerInstalled;
  }
  SilentQuestions questions;
  platform::NoProgressBar progress;
  return Install(InstallRun{services, info, packageBits, progress, questions, report, true}, target).ending;
}

}  // namespace install
