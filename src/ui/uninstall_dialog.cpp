#include "ui/uninstall_dialog.h"

#include "deploy/file_utilities.h"
#include "core/endings.h"
#include "platform/texts.h"
#include "ui/resources/resource.h"

Dlg_Uninstall::Dlg_Uninstall(const platform::Services& services, CAcadInstallInfo& installInfo,
                             std::string installFolder, core::Report& report)
    : platform::Dialog(IDD_UNINSTALL),
      m_services(services),
      m_installInfo(installInfo),
      m_installFolder(std::move(installFolder)),
      m_report(report) {}

void Dlg_Uninstall::DoDataExchange(platform::DataExchange& dx) { platform::DDX_Control(dx, IDC_PROGRESS, m_progress); }

bool Dlg_Uninstall::OnInitDialog() {
  platform::Dialog::OnInitDialog();
  Window().PostCommand(IDC_START_UNINSTALL);
  return true;
}

bool Dlg_Uninstall::OnCommand(int id, int) {
  if (id != IDC_START_UNINSTALL || m_end) return id == IDC_START_UNINSTALL;
  Window().PaintNow();
  m_end = uninstall::Uninstall(uninstall::UninstallRun{m_services, m_installInfo, *this, m_report}, m_installFolder);
  EndDialog(platform::kIdOk);
  return true;
}

void Dlg_Uninstall::Send(std::uint32_t message, std::uintptr_t wParam, std::intptr_t lParam) {
  m_progress.Send(message, wParam, lParam);
  Window().PaintNow();
}

namespace {

int Tell(const platform::Services& services, const char* text, unsigned icon, int exitCode) {
  services.desktop.ShowMessageBox(platform::kNoWindow, text, texts::kUninstallCaption, platform::kMbOk | icon);
  return exitCode;
}

}  // namespace

int RunUninstallWithUser(const platform::Services& services, CAcadInstallInfo& info, core::Report& report,
                         const ShowModal& showModal) {
  const std::optional<std::string> folder = uninstall::FolderToRemove(services);
  if (!folder) {
    report.Line("the uninstall does not start: the add-on is not installed");
    return Tell(services, texts::kNotInstalled, platform::kMbIconInformation, core::kExitCannotProceed);
  }
  if (deploy::IsAcadRunning(services)) {
    report.Line("the uninstall does not start: AutoCAD is running");
    return Tell(services, texts::kCloseAcadBeforeUninstall, platform::kMbIconWarning, core::kExitCannotProceed);
  }
  if (services.desktop.ShowMessageBox(platform::kNoWindow, texts::kConfirmUninstall, texts::kUninstallCaption,
                                      platform::kMbYesNo | platform::kMbIconQuestion) != platform::kIdYes) {
    report.Line("the uninstall was not confirmed");
    return core::kExitCancelled;
  }
  Dlg_Uninstall dialog(services, info, *folder, report);
  showModal(dialog);
  if (!dialog.End()) {
    report.Line("the uninstall's window could not be shown: nothing is removed");
    return core::kExitFailed;
  }
  switch (*dialog.End()) {
    case uninstall::UninstallEnd::Finished:
      return Tell(services, texts::kUninstallFinished, platform::kMbIconInformation, core::kExitFinished);
    case uninstall::UninstallEnd::FinishedWithErrors:
      return Tell(services, texts::kUninstallFinishedPartly, platform::kMbIconWarning, core::kExitFinishedWithErrors);
    case uninstall::UninstallEnd::RecordUnreadable:
      return Tell(services, texts::kRecordUnreadable, platform::kMbIconWarning, core::kExitFailed);
  }
  return core::kExitFailed;
}
