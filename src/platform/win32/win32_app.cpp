#include "platform/win32/win32_app.h"

#include <windows.h>
#include <commctrl.h>
#include <ole2.h>

namespace platform {
namespace {

// DLLs loaded by name after start-up come from the system folder only, never from a
// download folder the program was started from. SetDefaultDllDirectories is looked up
// because older systems lack it.
void RestrictDllSearchPath() {
  using SetDefaultDllDirectoriesFunction = BOOL(WINAPI*)(DWORD);
  constexpr DWORD kSearchSystem32 = 0x800;  // LOAD_LIBRARY_SEARCH_SYSTEM32
  const HMODULE kernel = GetModuleHandleA("kernel32.dll");
  const auto setDefault = reinterpret_cast<SetDefaultDllDirectoriesFunction>(
      reinterpret_cast<void*>(GetProcAddress(kernel, "SetDefaultDllDirectories")));
  if (setDefault == nullptr || !setDefault(kSearchSystem32)) SetDllDirectoryA("");
}

// COM on this thread, single-threaded apartment, for as long as the program runs.
class OleSession {
 public:
  OleSession() : m_initialized(SUCCEEDED(OleInitialize(nullptr))) {}
  OleSession(const OleSession&) = delete;
  OleSession& operator=(const OleSession&) = delete;
  ~OleSession() {
    if (m_initialized) OleUninitialize();
  }

 private:
  bool m_initialized;
};

}  // namespace

int RunWinApp(WinApp& app) {
  RestrictDllSearchPath();
  const OleSession ole;
  INITCOMMONCONTROLSEX controls{sizeof controls, ICC_PROGRESS_CLASS};
  InitCommonControlsEx(&controls);
  app.InitInstance();
  return 0;
}

}  // namespace platform
