#include "app/win32/wizard_app.h"

#include <windows.h>

#include <optional>
#include <string>
#include <vector>

#include "acad/install_info.h"
#include "core/endings.h"
#include "core/log_file.h"
#include "install/silent_install.h"
#include "platform/format.h"
#include "platform/texts.h"
#include "platform/win32/win32_dialog_host.h"
#include "platform/win32/win32_services.h"
#include "uninstall/uninstall.h"
#include "ui/process_state.h"
#include "ui/setup_dialog.h"
#include "ui/uninstall_dialog.h"
#include "ui/win32/setup_dialog_colors.h"

namespace {

// The real Win32 services, built on first use (while the installation record is built),
// so that they outlive everything that refers to them.
const platform::Services& ProgramServices() {
  static platform::Win32Services win32;
  return win32.services;
}

// The command line after the program's name (quoted, or up to the first blank), in the system's
// code page; `representable` is false when some character of it cannot be written in it.
std::string ProgramArguments(bool& representable) {
  const wchar_t* rest = GetCommandLineW();
  const bool quoted = *rest == L'"';
  if (quoted) ++rest;
  while (*rest != L'\0' && (quoted ? *rest != L'"' : *rest != L' ' && *rest != L'\t')) ++rest;
  if (quoted && *rest == L'"') ++rest;
  BOOL usedDefault = FALSE;
  const int size = WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, rest, -1, nullptr, 0, nullptr, &usedDefault);
  std::vector<char> arguments(static_cast<std::size_t>(size > 0 ? size : 1), '\0');
  WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, rest, -1, arguments.data(), size, nullptr, &usedDefault);
  representable = !usedDefault;
  return arguments.data();
}

}  // namespace

// The process-wide objects, built in this order before the program starts and destroyed in
// the reverse order when it ends.
std::string g_strBrowseFolder;
CWizardApp theApp;
CAcadInstallInfo theInstallInfo{ProgramServices()};

bool g_bCheckAcadRunning = true;

bool CWizardApp::InitInstance() {
  bool representable = true;
  const std::string arguments = ProgramArguments(representable);
  const CommandLine commandLine = ParseCommandLine(arguments, representable);
  // A run without a window always keeps a log, in the temporary folder unless asked elsewhere,
  // since nobody sees anything else; a run with a window keeps one when asked.
  // The per-user step, run at every logon, keeps one only when asked.
  std::optional<core::LogFile> logFile;
  if ((commandLine.silent && !commandLine.trustUser) || commandLine.log) logFile.emplace(ProgramServices(), commandLine.log.value_or(""));
  core::NoReport noLog;
  core::Report& report = logFile ? static_cast<core::Report&>(*logFile) : noLog;
  install::LogRunStart(report, ProgramServices(), GetCommandLineA());
  m_nExitCode = Run(commandLine, report);
  report.LastLine(platform::FormatText("outcome: %s (exit code %d)", core::OutcomeName(m_nExitCode), m_nExitCode));
  return false;
}

int CWizardApp::Run(const CommandLine& commandLine, core::Report& report) {
  const platform::Services& services = ProgramServices();
  if (!commandLine.error.empty() || commandLine.help) {
    if (!commandLine.error.empty()) report.Line("command line not understood: " + commandLine.error);
    report.Line(texts::kUsage);
    if (!commandLine.silent) {
      const platform::DialogSession session;
      services.desktop.ShowMessageBox(platform::kNoWindow, texts::kUsage, texts::kSoftwareSetupCaption,
                                      commandLine.error.empty() ? platform::kMbIconInformation : platform::kMbIconWarning);
    }
    return commandLine.error.empty() ? core::kExitFinished : core::kExitNotUnderstood;
  }
  if (commandLine.trustUser) {
    uninstall::TrustFolderForUser(services, theInstallInfo, report);
    return core::kExitFinished;
  }
  if (commandLine.uninstall || uninstall::MaintenanceCopyFolder(services)) {
    if (commandLine.silent) return uninstall::RunSilentUninstall(services, theInstallInfo, report);
    const platform::DialogSession session;
    return RunUninstallWithUser(services, theInstallInfo, report, [](platform::Dialog& dialog) { platform::DoModal(dialog); });
  }
  theInstallInfo.ScanInstalledReleases();
  if (commandLine.silent) {
    return install::RunSilentInstall(services, theInstallInfo, g_nPackageBits,
                                     install::SilentChoices{commandLine.folder, commandLine.releases}, report);
  }
  const platform::DialogSession session;
  SetupDialogColors colors;
  Dlg_Setup dialog(theInstallInfo, services, PackageBuild{}, SetupStart{commandLine.folder, commandLine.releases, &report});
  platform::DoModal(dialog, &colors);
  return dialog.ExitCode();
}

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) { return platform::RunWinApp(theApp); }
