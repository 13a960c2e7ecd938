#include "app/wizard_app.h"

#include <windows.h>

#include <string>

#include "acad/install_info.h"
#include "platform/win32/win32_dialog_host.h"
#include "platform/win32/win32_services.h"
#include "ui/process_state.h"
#include "ui/setup_dialog.h"
#include "ui/win32/setup_dialog_colors.h"

namespace {

// The real Win32 services, built on first use (while the installation record is built),
// so that they outlive everything that refers to them.
const platform::Services& ProgramServices() {
  static platform::Win32Services win32;
  return win32.services;
}

}  // namespace

// The process-wide objects, built in this order before the program starts and destroyed in
// the reverse order when it ends.
std::string g_strBrowseFolder;
CWizardApp theApp;
CAcadInstallInfo theInstallInfo{ProgramServices()};

bool g_bCheckAcadRunning = true;

bool CWizardApp::InitInstance() {
  theInstallInfo.ScanInstalledReleases();
  {
    SetupDialogColors colors;
    Dlg_Setup dialog(theInstallInfo, ProgramServices());
    platform::DoModal(dialog, &colors);
  }
  return false;
}

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) { return platform::RunWinApp(theApp); }
