// The demo's helper: drives the setup dialog of a running SetUp.exe as a user would.
//   setup_driver wait      ends (0) once the dialog is up, idle and painted; 1 when it does not come
//   setup_driver install   clicks the install button and ends (0) while the message that closes
//                          the install is up, after printing its caption and text
//   setup_driver answer    answers that message with its first button and ends (0) once the
//                          program has ended
//   setup_driver uninstall-box   waits for a message of the uninstall, prints its caption and
//                          text, answers it with its first button (Yes, or OK) and ends (0) once
//                          it has gone
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace {

constexpr DWORD kPatienceMs = 30000;
// "V-结构工具箱安装", the dialog's caption, in the system's code page (GBK).
const char kCaption[] = "V-\xBD\xE1\xB9\xB9\xB9\xA4\xBE\xDF\xCF\xE4\xB0\xB2\xD7\xB0";

// "V-结构工具箱卸载", the caption of the uninstall's messages and of its progress dialog.
const char kUninstallCaption[] = "V-\xBD\xE1\xB9\xB9\xB9\xA4\xBE\xDF\xCF\xE4\xD0\xB6\xD4\xD8";

int Fail(const char* message) {
  std::fprintf(stderr, "setup_driver: %s\n", message);
  return 1;
}

std::string TextOf(HWND window) {
  std::vector<char> text(static_cast<std::size_t>(GetWindowTextLengthA(window)) + 1, '\0');
  GetWindowTextA(window, text.data(), static_cast<int>(text.size()));
  return text.data();
}

// The first visible top-level window owned by `owner`, or null.
HWND OwnedWindow(HWND owner) {
  for (HWND window = GetTopWindow(nullptr); window != nullptr; window = GetWindow(window, GW_HWNDNEXT)) {
    if (GetWindow(window, GW_OWNER) == owner && IsWindowVisible(window)) return window;
  }
  return nullptr;
}

template <typename Find>
HWND Await(Find find) {
  for (DWORD waited = 0; waited < kPatienceMs; waited += 50, Sleep(50)) {
    if (const HWND window = find()) return window;
  }
  return nullptr;
}

// Prints the message box's caption and its longest static text (the message itself).
void PrintMessage(HWND box) {
  std::string message;
  for (HWND child = GetWindow(box, GW_CHILD); child != nullptr; child = GetWindow(child, GW_HWNDNEXT)) {
    char kind[16] = {};
    GetClassNameA(child, kind, sizeof kind);
    if (lstrcmpiA(kind, "Static") == 0 && TextOf(child).size() > message.size()) message = TextOf(child);
  }
  std::printf("%s\n%s\n", TextOf(box).c_str(), message.c_str());
}

// Clicks a message box's first button.
void AnswerWithFirstButton(HWND box, HWND button) {
  PostMessageA(box, WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(button), BN_CLICKED), reinterpret_cast<LPARAM>(button));
}

// A message of the uninstall: a visible dialog with its caption, buttons and no progress bar.
HWND UninstallMessage() {
  for (HWND window = FindWindowExA(nullptr, nullptr, "#32770", kUninstallCaption); window != nullptr;
       window = FindWindowExA(nullptr, window, "#32770", kUninstallCaption)) {
    if (IsWindowVisible(window) && FindWindowExA(window, nullptr, "msctls_progress32", nullptr) == nullptr &&
        FindWindowExA(window, nullptr, "Button", nullptr) != nullptr) {
      return window;
    }
  }
  return nullptr;
}

int AnswerUninstallMessage() {
  const HWND box = Await(UninstallMessage);
  if (box == nullptr) return Fail("no message of the uninstall came");
  PrintMessage(box);
  AnswerWithFirstButton(box, FindWindowExA(box, nullptr, "Button", nullptr));
  return Await([&] { return IsWindow(box) ? nullptr : box; }) != nullptr ? 0 : Fail("the message did not go");
}

}  // namespace

int main(int argc, char** argv) {
  const std::string verb = argc == 2 ? argv[1] : "";
  if (verb == "uninstall-box") return AnswerUninstallMessage();
  if (verb != "wait" && verb != "install" && verb != "answer") {
    return Fail("usage: setup_driver wait|install|answer|uninstall-box");
  }
  const HWND dialog = Await([] {
    const HWND found = FindWindowA(nullptr, kCaption);
    return found != nullptr && IsWindowVisible(found) ? found : nullptr;
  });
  if (dialog == nullptr) return Fail("the setup dialog did not appear");
  DWORD processId = 0;
  GetWindowThreadProcessId(dialog, &processId);
  const HANDLE process = OpenProcess(SYNCHRONIZE | PROCESS_QUERY_INFORMATION, FALSE, processId);
  if (process == nullptr) return Fail("the setup program cannot be watched");
  int status = 0;
  if (verb == "wait") {
    WaitForInputIdle(process, kPatienceMs);
    RedrawWindow(dialog, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
  } else if (verb == "install") {
    PostMessageA(GetDlgItem(dialog, 1022), BM_CLICK, 0, 0);
    const HWND box = Await([&] { return OwnedWindow(dialog); });
    if (box == nullptr) {
      status = Fail("no message came after the install button");
    } else {
      PrintMessage(box);
      RedrawWindow(dialog, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    }
  } else {
    const HWND box = OwnedWindow(dialog);
    const HWND button = box != nullptr ? FindWindowExA(box, nullptr, "Button", nullptr) : nullptr;
    if (button == nullptr) {
      status = Fail("no message to answer");
    } else {
      AnswerWithFirstButton(box, button);
      if (WaitForSingleObject(process, kPatienceMs) != WAIT_OBJECT_0) status = Fail("the setup program did not end");
    }
  }
  CloseHandle(process);
  return status;
}
