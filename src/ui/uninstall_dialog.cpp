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

// The closing message as the endings table words it (none: the user ended the run), naming the
// files left because they changed after the install.
core::Ending Tell(const uninstall::UninstallRun& run, const uninstall::UninstallResult& result) {
  std::string text = core::ClosingMessage(core::FrontEnd::Uninstall, {result.ending}, run.logPath);
  if (text.empty()) return result.ending;
  if (!result.changed.empty()) text += std::string("\n\n") + texts::kChangedFilesKept;
  for (const std::string& file : result.changed) text += "\n" + file;
  const unsigned icon =
      core::ClosesWithWarning(result.ending) ? platform::kMbIconWarning : platform::kMbIconInformation;
  run.services.desktop.ShowMessageBox(platform::kNoWindow, text, texts::kUninstallCaption, platform::kMbOk | icon);
  return result.ending;
}

}  // namespace

core::Ending RunUninstallWithUser(const uninstall::UninstallRun& run, const ShowModal& showModal) {
  const platform::Services& services = run.services;
  core::Refusal refusal;
  const std::optional<std::string> folder = uninstall::FolderIfUninstallStarts(run, &refusal);
  if (!folder && refusal == core::Refusal::None)
    return Tell(run, uninstall::UninstallResult{core::Ending::NothingToRemove, {}});
  if (!folder) {
    services.desktop.ShowMessageBox(platform::kNoWindow, core::RefusalMessage(refusal), texts::kUninstallCaption,
                                    platform::kMbOk | platform::kMbIconWarning);
    return core::EndingOf(refusal);
  }
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
  return Tell(run, *dialog.Result());
}
