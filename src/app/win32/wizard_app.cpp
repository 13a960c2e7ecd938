#include "app/win32/wizard_app.h"

#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "acad/install_info.h"
#include "app/program.h"
#include "platform/win32/win32_dialog_host.h"
#include "platform/win32/win32_services.h"
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

// The program's windows: the common controls and COM once the first is about to show, each
// dialog modal on its template.
class Win32Windows final : public app::WindowHost {
 public:
  void BeginWindows() override {
    if (!m_session) m_session = std::make_unique<platform::DialogSession>();
  }
  void ShowModal(platform::Dialog& dialog, bool setupDialog) override {
    SetupDialogColors colors;
    platform::DoModal(dialog, setupDialog ? &colors : nullptr);
  }

 private:
  std::unique_ptr<platform::DialogSession> m_session;
};

}  // namespace

// The process-wide objects, built in this order before the program starts and destroyed in
// the reverse order when it ends.
std::string g_strBrowseFolder;
CWizardApp theApp;
CAcadInstallInfo theInstallInfo{ProgramServices()};

bool CWizardApp::InitInstance() {
  app::StartedAs started;
  started.commandLine = GetCommandLineA();
  started.arguments = ProgramArguments(started.representable);
  Win32Windows windows;
  m_nExitCode = app::RunProgram(ProgramServices(), theInstallInfo, started, windows);
  return false;
}

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) { return platform::RunWinApp(theApp); }
