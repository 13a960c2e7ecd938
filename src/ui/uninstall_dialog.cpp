#include "ui/uninstall_dialog.h"

#include "platform/texts.h"
#include "ui/resources/resource.h"

Dlg_Uninstall::Dlg_Uninstall(const uninstall::UninstallRun& run, std::string installFolder)
    : platform::Dialog(IDD_UNINSTALL),
      m_run{run.services, run.installInfo, *this, run.report, run.choices, run.logPath},
      m_installFolder(std::move(installFolder)) {}

void Dlg_Uninstall::DoDataExchange(platform::DataExchange& dx) { platform::DDX_Control(dx, IDC_PROGRESS, m_progress); }

bool Dlg_Uninstall::OnInitDialog() {
  platform::Dialog::OnInitDialog();
  Window().PostCommand(IDC_START_UNINSTALL);
  return true;
}

bool Dlg_Uninstall::OnCommand(int id, int) {
  if (id != IDC_START_UNINSTALL || m_result) return id == IDC_START_UNINSTALL;
  Window().PaintNow();
  m_result = uninstall::Uninstall(m_run, m_installFolder);
  EndDialog(platform::kIdOk);
  return true;
}

void Dlg_Uninstall::Send(std::uint32_t message, std::uintptr_t wParam, std::intptr_t lParam) {
  m_progress.Send(message, wParam, lParam);
  Window().PaintNow();
}

namespace {

core::Ending Tell(const platform::Services& services, const std::string& text, unsigned icon, core::Ending ending) {
  services.desktop.ShowMessageBox(platform::kNoWindow, text, texts::kUninstallCaption, platform::kMbOk | icon);
  return ending;
}

// The closing message, naming the files left because they changed after the install.
std::string ClosingText(const uninstall::UninstallResult& result) {
  std::string text = result.ending == core::Ending::Finished             ? texts::kUninstallFinished
                     : result.ending == core::Ending::FinishedWithErrors ? texts::kUninstallFinishedPartly
                     : result.ending == core::Ending::RestartNeeded      ? texts::kUninstallRestartNeeded
                     : result.ending == core::Ending::NothingToRemove    ? texts::kNotInstalled
                                                                         : texts::kRecordUnreadable;
  if (!result.changed.empty()) text += std::string("\n\n") + texts::kChangedFilesKept;
  for (const std::string& file : result.changed) text += "\n" + file;
  return text;
}

}  // namespace

core::Ending RunUninstallWithUser(const uninstall::UninstallRun& run, const ShowModal& showModal) {
  const platform::Services& services = run.services;
  core::Refusal refusal;
  const std::optional<std::string> folder = uninstall::FolderIfUninstallStarts(run, &refusal);
  if (!folder && refusal == core::Refusal::None) {
    return Tell(services, texts::kNotInstalled, platform::kMbIconInformation, core::Ending::NothingToRemove);
  }
  if (!folder) return Tell(services, core::RefusalMessage(refusal), platform::kMbIconWarning, core::EndingOf(refusal));
  if (services.desktop.ShowMessageBox(platform::kNoWindow, texts::kConfirmUninstall, texts::kUninstallCaption,
                                      platform::kMbYesNo | platform::kMbIconQuestion) != platform::kIdYes) {
    run.report.Line("the uninstall was not confirmed");
    return core::Ending::Cancelled;
  }
  Dlg_Uninstall dialog(run, *folder);
  showModal(dialog);
  if (!dialog.Result()) {
    run.report.Line("the uninstall's window could not be shown: nothing is removed");
    return core::Ending::Failed;
  }
  const uninstall::UninstallResult& result = *dialog.Result();
  const bool fine = result.ending == core::Ending::Finished || result.ending == core::Ending::NothingToRemove;
  return Tell(services, ClosingText(result), fine ? platform::kMbIconInformation : platform::kMbIconWarning,
              result.ending);
}
