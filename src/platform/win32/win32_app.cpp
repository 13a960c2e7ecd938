#include "platform/win32/win32_app.h"

#include <windows.h>
#include <commctrl.h>
#include <ole2.h>

#include <string>

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

// The common controls library (for the progress bar). It is no KnownDLL, so it is loaded by
// its full path in the system folder rather than imported, which would let a planted copy
// beside the program be loaded first. It stays loaded while the program runs.
class CommonControls {
 public:
  CommonControls() {
    char systemFolder[MAX_PATH] = {};
    const UINT length = GetSystemDirectoryA(systemFolder, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return;
    m_module = LoadLibraryA((std::string(systemFolder) + "\\comctl32.dll").c_str());
    if (m_module == nullptr) return;
    using InitFunction = BOOL(WINAPI*)(const INITCOMMONCONTROLSEX*);
    const auto init = reinterpret_cast<InitFunction>(
        reinterpret_cast<void*>(GetProcAddress(m_module, "InitCommonControlsEx")));
    const INITCOMMONCONTROLSEX controls{sizeof controls, ICC_PROGRESS_CLASS};
    if (init != nullptr) init(&controls);
  }
  CommonControls(const CommonControls&) = delete;
  CommonControls& operator=(const CommonControls&) = delete;
  ~CommonControls() {
    if (m_module != nullptr) FreeLibrary(m_module);
  }

 private:
  HMODULE m_module = nullptr;
};

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
  const CommonControls commonControls;
  app.InitInstance();
  return 0;
}

}  // namespace platform
