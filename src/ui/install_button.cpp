// What the install button does: refuse once while AutoCAD runs, refuse a folder it cannot use,
// then install behind the progress bar and end with a closing message.
#include "core/endings.h"
#include "core/package.h"
#include "platform/format.h"
#include "platform/texts.h"
#include "ui/dialog_questions.h"
#include "ui/process_state.h"
#include "ui/resources/resource.h"
#include "ui/setup_dialog.h"

void Dlg_Setup::OnInstall() {
  platform::Desktop& desktop = m_services.desktop;
  // The install works on its own copy of the run's choices, with the folder and the releases as
  // the dialog shows them: nothing done to the dialog while one of its messages is up changes
  // what is installed. A refusal leaves the dialog as it is.
  UpdateData(true);
  core::RunChoices choices = m_start;
  choices.folder = m_strPath;
  choices.releases = TickedYears();
  install::InstallTarget target;
  const core::Refusal refusal =
      install::CheckInstall(m_services, m_installInfo, m_package.bits, choices, g_bCheckAcadRunning, &target);
  if (refusal != core::Refusal::None) {
    desktop.ShowMessageBox(Handle(), core::RefusalMessage(refusal), texts::kSoftwareSetupCaption, platform::kMbOk);
    if (refusal == core::Refusal::AcadRunning) g_bCheckAcadRunning = false;
    return;
  }
  if (const std::optional<std::string> newer = install::NewerVersionInstalled(m_services, m_report)) {
    const std::string question =
        platform::FormatText(texts::kReplaceNewerFormat, newer->c_str(), core::VersionText().c_str());
    if (desktop.ShowMessageBox(Handle(), question, texts::kSoftwareSetupCaption,
                               platform::kMbYesNo | platform::kMbIconQuestion) != platform::kIdYes) {
      m_report.Line("the newer version is kept: the user did not replace it");
      return;
    }
  }
  const core::Outcome outcome = RunInstall(target);
  m_ending = outcome.ending;
  // The endings table says what the user is told; an install that ends without a word was ended
  // by the user, or a message before said why.
  const std::string closing = core::ClosingMessage(core::FrontEnd::Install, outcome, m_logPath);
  if (closing.empty()) {
    OnCancel();
    return;
  }
  desktop.ShowMessageBox(Handle(), closing, texts::kToolboxSetupCaption,
                         platform::kMbOk | (core::ClosesWithWarning(m_ending) ? platform::kMbIconWarning : 0u));
  OnOK();
}

core::Outcome Dlg_Setup::RunInstall(const install::InstallTarget& target) {
  ShowProgressInsteadOfFolderRow();
  install::LogInstallations(m_report, m_installInfo, target.ticks);
  DialogQuestions questions(m_services.desktop, Handle());
  return install::Install(
      install::InstallRun{m_services, m_installInfo, m_package.bits, m_progress, questions, m_report, false}, target);
}

void Dlg_Setup::ShowProgressInsteadOfFolderRow() {
  Window().ShowItem(IDC_PATH_LABEL, false);
  Window().ShowItem(IDC_PATH, false);
  Window().ShowItem(IDC_BROWSE, false);
  Window().ShowItem(IDC_PROGRESS, true);
}

std::vector<int> Dlg_Setup::TickedYears() const {
  std::vector<int> years;
  for (const ReleaseBox& box : kReleaseBoxes) {
    if (this->*box.tick != 0) years.push_back(box.year);
  }
  return years;
}
