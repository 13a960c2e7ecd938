// What the install button does: refuse once while AutoCAD runs, refuse a folder it cannot use,
// then install behind the progress bar and end with a closing message.
#include "deploy/file_utilities.h"
#include "core/endings.h"
#include "platform/texts.h"
#include "ui/dialog_questions.h"
#include "ui/process_state.h"
#include "ui/resources/resource.h"
#include "ui/setup_dialog.h"

void Dlg_Setup::OnInstall() {
  platform::Desktop& desktop = m_services.desktop;
  if (g_bCheckAcadRunning && deploy::IsAcadRunning(m_services)) {
    desktop.ShowMessageBox(Handle(), texts::kCloseAcadFirst, texts::kSoftwareSetupCaption, platform::kMbOk);
    g_bCheckAcadRunning = false;
    return;
  }
  // The install works on its own copy of the choices: nothing done to the dialog while one of
  // its messages is up changes what is installed. A folder it cannot use is refused before
  // anything is made, and the dialog stays as it is.
  UpdateData(true);
  const install::FolderChoice choice = install::ChooseFolder(m_services, m_strPath);
  if (choice.refusal != nullptr) {
    desktop.ShowMessageBox(Handle(), choice.refusal, texts::kSoftwareSetupCaption, platform::kMbOk);
    return;
  }
  switch (RunInstall(choice.folder, Ticks())) {
    case install::InstallEnd::PackageMissing:
    case install::InstallEnd::Aborted:
      OnCancel();
      return;
    case install::InstallEnd::Finished:
      desktop.ShowMessageBox(Handle(), texts::kInstallFinished, texts::kToolboxSetupCaption, platform::kMbOk);
      break;
    case install::InstallEnd::FinishedWithErrors:
      desktop.ShowMessageBox(Handle(), texts::kInstallFinishedPartly, texts::kToolboxSetupCaption,
                             platform::kMbOk | platform::kMbIconWarning);
      break;
  }
  OnOK();
}

install::InstallEnd Dlg_Setup::RunInstall(const std::string& chosenFolder, const acad::ReleaseTicks& ticks) {
  ShowProgressInsteadOfFolderRow();
  install::LogInstallations(m_report, m_installInfo, ticks);
  DialogQuestions questions(m_services.desktop, Handle());
  const install::InstallEnd end = install::Install(
      install::InstallRun{m_services, m_installInfo, m_package.bits, m_progress, questions, m_report}, chosenFolder, ticks);
  m_nExitCode = end == install::InstallEnd::Finished             ? core::kExitFinished
                : end == install::InstallEnd::FinishedWithErrors ? core::kExitFinishedWithErrors
                : end == install::InstallEnd::Aborted            ? core::kExitAborted
                                                                 : core::kExitFailed;
  return end;
}

void Dlg_Setup::ShowProgressInsteadOfFolderRow() {
  Window().ShowItem(IDC_PATH_LABEL, false);
  Window().ShowItem(IDC_PATH, false);
  Window().ShowItem(IDC_BROWSE, false);
  Window().ShowItem(IDC_PROGRESS, true);
}

acad::ReleaseTicks Dlg_Setup::Ticks() const {
  acad::ReleaseTicks ticks{};
  for (const ReleaseBox& box : kReleaseBoxes) ticks[acad::ReleaseIndex(box.year)] = this->*box.tick;
  return ticks;
}
