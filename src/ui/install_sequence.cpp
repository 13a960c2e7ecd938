// What the install button does: refuse once while AutoCAD runs, make the installation folder,
// then copy, register and deploy behind the progress bar, and end with a closing message.
#include "deploy/copy_job.h"
#include "deploy/file_utilities.h"
#include "platform/texts.h"
#include "ui/process_state.h"
#include "ui/resources/resource.h"
#include "ui/setup_dialog.h"

namespace {

const char kInstallSubFolder[] = "\\V-Trelmox";
// The longest installation folder accepted, so that every path formed below it (loader
// paths, copies into the extension library folder) fits the program's 260-byte buffers.
constexpr std::size_t kMaxInstallFolder = 240;

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
  UpdateData(true);
  std::string chosenFolder = m_strPath;
  platform::DropTrailingBackslash(chosenFolder, m_services.isLeadByte);
  const std::string installFolder = chosenFolder + kInstallSubFolder;
  if (!AcceptInstallFolder(m_strPath, installFolder)) return;

  m_services.files.MakeDirectory(chosenFolder);
  m_strPath = installFolder;
  m_services.files.MakeDirectory(m_strPath);

  const InstallRun run = RunInstall();
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

// An empty folder, or one whose installation folder would be too long for the program's
// paths, is refused before anything is made; the dialog stays as it is.
bool Dlg_Setup::AcceptInstallFolder(const std::string& typedFolder,
                                    const std::string& installFolder) {
  const char* refusal = typedFolder.empty()                        ? texts::kChooseInstallPath
                        : installFolder.size() > kMaxInstallFolder ? texts::kInstallPathTooLong
                                                                   : nullptr;
  if (refusal == nullptr) return true;
  m_services.desktop.ShowMessageBox(Handle(), refusal, texts::kSoftwareSetupCaption,
                                    platform::kMbOk);
  return false;
}

Dlg_Setup::InstallRun Dlg_Setup::RunInstall() {
  ShowProgressInsteadOfFolderRow();
  m_progress.Send(platform::kPbmSetRange, 0, kProgressRange);
  m_progress.Send(platform::kPbmSetStep, 1, 0);
  m_progress.Send(platform::kPbmSetPos, 0, 0);

  CopyJob job(m_strPath, m_progress, m_services);
  if (!job.CopyProgramFiles()) {
    OnCancel();
    return InstallRun::Abandoned;
  }
  job.CopyExtensionLibrary();
  m_progress.Send(platform::kPbmStepIt, 0, 0);

  const acad::ReleaseTicks ticks = Ticks();
  m_installInfo.SetInstallDir(m_strPath);
  const bool loadersWritten = m_installInfo.RegisterLoaders(ticks, m_package.bits);
  m_progress.Send(platform::kPbmStepIt, 0, 0);

  m_installInfo.DeployToAcadFolders(ticks);
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
