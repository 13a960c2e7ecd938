// The demo's helper: drives the setup dialog of a running SetUp.exe as a user would.
//   setup_driver wait      ends (0) once the dialog is up and idle; 1 when it does not come
//   setup_driver install   clicks the install button and ends (0) while the message that closes
//                          the install is up, after printing its caption and text
//   setup_driver answer    answers that message with its first button and ends (0) once the
//                          program has ended
//   setup_driver close     closes the dialog and ends (0) once the program has ended
#include <windows.h>

#include <cstdio>
#include <cstring>

#include "setup_window.h"

namespace {

int Fail(const char* message) {
  std::fprintf(stderr, "setup_driver: %s\n", message);
  return 1;
}

int WaitForExit(HANDLE process) {
  if (WaitForSingleObject(process, e2e::kPatienceMs) != WAIT_OBJECT_0) {
    return Fail("the setup program did not end");
  }
  return 0;
}

// Clicks install; the install runs until the program shows the message that closes it (or a
// message that stops it, which is shown the same way).
int Install(HWND dialog) {
  PostMessageA(GetDlgItem(dialog, 1022), BM_CLICK, 0, 0);
  const e2e::MessageBoxView box = e2e::WaitForMessageBox(dialog);
  if (box.window == nullptr) return Fail("no message came after the install button");
  UpdateWindow(dialog);
  std::printf("%s\n%s\n", box.caption.c_str(), box.text.c_str());
  return 0;
}

int Answer(HWND dialog, HANDLE process) {
  const e2e::MessageBoxView box = e2e::WaitForMessageBox(dialog);
  if (box.window == nullptr || box.buttons.empty()) return Fail("no message to answer");
  if (!e2e::AnswerMessageBox(box, box.buttons.front())) return Fail("the message stayed");
  return WaitForExit(process);
}

}  // namespace

int main(int argc, char** argv) {
  const char* verb = argc == 2 ? argv[1] : "";
  const bool known = std::strcmp(verb, "wait") == 0 || std::strcmp(verb, "install") == 0 ||
                     std::strcmp(verb, "answer") == 0 || std::strcmp(verb, "close") == 0;
  if (!known) return Fail("usage: setup_driver wait|install|answer|close");

  const HWND dialog = e2e::WaitForSetupDialog(0, e2e::kPatienceMs);
  if (dialog == nullptr) return Fail("the setup dialog did not appear");
  DWORD processId = 0;
  GetWindowThreadProcessId(dialog, &processId);
  const e2e::ScopedHandle process(OpenProcess(SYNCHRONIZE | PROCESS_QUERY_INFORMATION, FALSE, processId));
  if (process.Get() == nullptr) return Fail("the setup program cannot be watched");

  if (std::strcmp(verb, "wait") == 0) {
    WaitForInputIdle(process.Get(), e2e::kPatienceMs);
    UpdateWindow(dialog);
    return 0;
  }
  if (std::strcmp(verb, "install") == 0) return Install(dialog);
  if (std::strcmp(verb, "answer") == 0) return Answer(dialog, process.Get());
  PostMessageA(dialog, WM_SYSCOMMAND, SC_CLOSE, 0);
  return WaitForExit(process.Get());
}
