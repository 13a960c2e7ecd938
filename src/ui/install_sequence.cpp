// What the install button does: refuse once while AutoCAD runs, make the installation folder,
// then copy, register and deploy behind the progress bar, and end with a closing message.
#include "deploy/copy_job.h"
#include "deploy/file_utilities.h"
#include "platform/texts.h"
#include "ui/dialog_questions.h"
#include "ui/process_state.h"
#include "ui/resources/resource.h"
#include "ui/setup_dialog.h"

namespace {

const char kInstallSubFolder[] = "\\V-Trelmox";
// The longest installation folder accepted, so that every path formed below it (loader
// paths, copies into the extension library folder) fits the program's 260-byte buffers.
constexpr std::size_t kMaxInstallFolder = 240;
// A full path is formed in a buffer of this many bytes, zero included.
constexpr std::uint32_t kFullPathBufferSize = 260;

constexpr int kProgressEnd = 50;
constexpr std::intptr_t kProgressRange = kProgressEnd << 16;  // low word 0, high word 50

}  // namespace

void Dlg_Setup::OnInstall() {
  platform::Desktop& desktop = m_services.desktop;
  if (g_bCheckAcadRunning && deploy::IsAcadRunning(m_services)) {
    desktop.ShowMessageBox(Handle(), texts::kCloseAcadFirst, texts::kSoftwareSetupCaption,
                           platform::kMbOk);
    g_bCheckAcadRunning = false;
    return;
  }
  // The install works on its own copy of the choices: nothing done to the dialog while one of
  // its messages is up changes what is installed.
  UpdateData(true);
  std::string chosenFolder;
  if (!AcceptInstallFolder(m_strPath, chosenFolder)) return;
  const std::string installFolder = chosenFolder + kInstallSubFolder;
  deploy::MakeFolderWithParents(m_services, chosenFolder);
  // A folder the program makes is writable only by those who may change what AutoCAD loads;
  // one that was there already keeps its access list.
  m_services.files.MakeProtectedDirectory(installFolder);

  const InstallRun run = RunInstall(installFolder, Ticks());
  if (run == InstallRun::Abandoned) return;
  if (run == InstallRun::Finished) {
    desktop.ShowMessageBox(Handle(), texts::kInstallFinished, texts::kToolboxSetupCaption,
                           platform::kMbOk);
  } else {
    desktop.ShowMessageBox(Handle(), texts::kInstallFinishedPartly, texts::kToolboxSetupCaption,
                           platform::kMbOk | platform::kMbIconWarning);
  }
  OnOK();
}

// The folder chosen, made absolute (a folder typed as "tools\cad" or "D:cad" is resolved as
// Windows resolves it for this program) and less one trailing backslash. An empty folder, one
// that cannot be resolved, or one whose installation folder would be too long for the program's
// paths is refused before anything is made; the dialog stays as it is.
bool Dlg_Setup::AcceptInstallFolder(const std::string& typedFolder, std::string& chosenFolder) {
  char full[kFullPathBufferSize] = {};
  const std::uint32_t length =
      typedFolder.empty() ? 0 : m_services.files.FullPathName(typedFolder, full, kFullPathBufferSize);
  chosenFolder.assign(full, length < kFullPathBufferSize ? length : 0);
  platform::DropTrailingBackslash(chosenFolder, m_services.isLeadByte);
  const char* refusal =
      length == 0 ? texts::kChooseInstallPath
      : length >= kFullPathBufferSize || chosenFolder.size() + sizeof kInstallSubFolder - 1 > kMaxInstallFolder
          ? texts::kInstallPathTooLong
          : nullptr;
  if (refusal == nullptr) return true;
  m_services.desktop.ShowMessageBox(Handle(), refusal, texts::kSoftwareSetupCaption, platform::kMbOk);
  return false;
}

Dlg_Setup::InstallRun Dlg_Setup::RunInstall(const std::string& installFolder,
                                            const acad::ReleaseTicks& ticks) {
  ShowProgressInsteadOfFolderRow();
  m_progress.Send(platform::kPbmSetRange, 0, kProgressRange);
  m_progress.Send(platform::kPbmSetStep, 1, 0);
  m_progress.Send(platform::kPbmSetPos, 0, 0);

  DialogQuestions questions(m_services.desktop, Handle());
  CopyJob job(installFolder, m_progress, questions, m_services);
  if (!job.CopyProgramFiles()) {
    OnCancel();
    return InstallRun::Abandoned;
  }
  job.CopyExtensionLibrary();
  m_progress.Send(platform::kPbmStepIt, 0, 0);

  m_installInfo.SetInstallDir(installFolder);
  const bool loadersWritten = m_installInfo.RegisterLoaders(ticks, m_package.bits);
  m_progress.Send(platform::kPbmStepIt, 0, 0);

  m_installInfo.DeployToAcadFolders(ticks, questions);
  m_progress.Send(platform::kPbmStepIt, 0, 0);
  m_progress.Send(platform::kPbmSetPos, kProgressEnd, 0);
  return loadersWritten ? InstallRun::Finished : InstallRun::FinishedWithoutLoaders;
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
