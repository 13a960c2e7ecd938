#include "platform/win32/win32_app.h"

#include <commctrl.h>
#include <ole2.h>
#include <windows.h>

#include <string>

#include "platform/win32_types.h"

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

// Whether COM was made ready on the user-interface thread.
enum class Com { NotYet, Ready, Failed };
Com& ComState() {
  static Com state = Com::NotYet;
  return state;
}

}  // namespace

int RunWinApp(WinApp& app) {
  RestrictDllSearchPath();
  app.InitInstance();
  return app.ExitCode();
}

// The common controls library (for the progress bar). It is no KnownDLL, so it is loaded by
// its full path in the system folder rather than imported, which would let a planted copy
// beside the program be loaded first.
DialogSession::DialogSession() {
  *m_commonControls.Receive() = LoadSystemLibrary("comctl32.dll");
  using InitFunction = BOOL(WINAPI*)(const INITCOMMONCONTROLSEX*);
  const auto init = !m_commonControls.IsOpen() ? nullptr
                                               : reinterpret_cast<InitFunction>(reinterpret_cast<void*>(
                                                     GetProcAddress(m_commonControls.Get(), "InitCommonControlsEx")));
  const INITCOMMONCONTROLSEX controls{sizeof controls, ICC_PROGRESS_CLASS};
  if (init != nullptr) init(&controls);
}

DialogSession::~DialogSession() {
  if (ComState() == Com::Ready) OleUninitialize();
  ComState() = Com::NotYet;
}

HMODULE LoadSystemLibrary(const char* name) {
  char systemFolder[kMaxPath] = {};
  const UINT length = GetSystemDirectoryA(systemFolder, sizeof systemFolder);
  if (length == 0 || length >= sizeof systemFolder) return nullptr;
  return LoadLibraryA((std::string(systemFolder) + "\\" + name).c_str());
}

void UseComOnThisThread() {
  if (ComState() == Com::NotYet) ComState() = SUCCEEDED(OleInitialize(nullptr)) ? Com::Ready : Com::Failed;
}

}  // namespace platform
