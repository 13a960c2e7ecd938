// The demo's helper: waits for the setup dialog of a running SetUp.exe, or closes it as its
// close box does.
//   setup_driver wait    ends (0) once the dialog is up and idle; 1 when it does not come
//   setup_driver close   closes the dialog and ends (0) once the program has ended
#include <windows.h>

#include <cstdio>
#include <cstring>

#include "setup_window.h"

namespace {

int Fail(const char* message) {
  std::fprintf(stderr, "setup_driver: %s\n", message);
  return 1;
}

}  // namespace

int main(int argc, char** argv) {
  const bool wait = argc == 2 && std::strcmp(argv[1], "wait") == 0;
  const bool close = argc == 2 && std::strcmp(argv[1], "close") == 0;
  if (!wait && !close) return Fail("usage: setup_driver wait|close");

  const HWND dialog = e2e::WaitForSetupDialog(0, e2e::kPatienceMs);
  if (dialog == nullptr) return Fail("the setup dialog did not appear");
  DWORD processId = 0;
  GetWindowThreadProcessId(dialog, &processId);
  const e2e::ScopedHandle process(OpenProcess(SYNCHRONIZE | PROCESS_QUERY_INFORMATION, FALSE, processId));
  if (process.Get() == nullptr) return Fail("the setup program cannot be watched");

  if (wait) {
    WaitForInputIdle(process.Get(), e2e::kPatienceMs);
    UpdateWindow(dialog);
    return 0;
  }
  PostMessageA(dialog, WM_SYSCOMMAND, SC_CLOSE, 0);
  if (WaitForSingleObject(process.Get(), e2e::kPatienceMs) != WAIT_OBJECT_0) {
    return Fail("the setup program did not end");
  }
  return 0;
}
