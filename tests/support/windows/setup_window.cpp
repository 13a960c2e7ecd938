#include "setup_window.h"

#include <algorithm>
#include <vector>

#include "platform/texts.h"

namespace e2e {

std::string ToWindowsPath(const std::string& path) {
  if (path.empty() || path[0] != '/') return path;
  std::string windowsPath = "Z:" + path;
  std::replace(windowsPath.begin(), windowsPath.end(), '/', '\\');
  return windowsPath;
}

HWND FindSetupDialog(DWORD processId) {
  HWND window = nullptr;
  while ((window = FindWindowExA(nullptr, window, nullptr, texts::kSetupDialogCaption)) != nullptr) {
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (processId == 0 || owner == processId) return window;
  }
  return nullptr;
}

namespace {

// Asks `find` again and again until it finds a window or the patience runs out.
template <typename Find>
HWND Poll(DWORD patienceMs, Find find) {
  constexpr DWORD kPollMs = 50;
  for (DWORD waited = 0; waited <= patienceMs; waited += kPollMs) {
    if (const HWND window = find()) return window;
    Sleep(kPollMs);
  }
  return nullptr;
}

struct WindowSearch {
  HWND relative;
  const char* className;
  HWND found;
};

BOOL CALLBACK TakeOwnedWindow(HWND window, LPARAM data) {
  auto* search = reinterpret_cast<WindowSearch*>(data);
  if (GetWindow(window, GW_OWNER) != search->relative || !IsWindowVisible(window)) return TRUE;
  search->found = window;
  return FALSE;
}

bool HasClass(HWND window, const char* className) {
  char name[64] = {};
  GetClassNameA(window, name, sizeof name);
  return lstrcmpiA(name, className) == 0;
}

BOOL CALLBACK TakeWindowOfClass(HWND window, LPARAM data) {
  auto* search = reinterpret_cast<WindowSearch*>(data);
  if (!HasClass(window, search->className)) return TRUE;
  search->found = window;
  return FALSE;
}

}  // namespace

HWND WaitForSetupDialog(DWORD processId, DWORD patienceMs) {
  return Poll(patienceMs, [&]() -> HWND {
    const HWND dialog = FindSetupDialog(processId);
    return dialog != nullptr && IsWindowVisible(dialog) ? dialog : nullptr;
  });
}

HWND FindOwnedWindow(HWND owner) {
  WindowSearch search{owner, nullptr, nullptr};
  EnumWindows(TakeOwnedWindow, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

HWND WaitForOwnedWindow(HWND owner) {
  return Poll(kPatienceMs, [&] { return FindOwnedWindow(owner); });
}

MessageBoxView WaitForMessageBox(HWND owner) {
  MessageBoxView box;
  box.window = WaitForOwnedWindow(owner);
  if (box.window == nullptr) return box;
  box.caption = WindowText(box.window);
  // The text is the box's static that says most; the icon is a static without text.
  for (HWND child = GetWindow(box.window, GW_CHILD); child != nullptr;
       child = GetWindow(child, GW_HWNDNEXT)) {
    if (HasClass(child, "Static")) {
      const std::string text = WindowText(child);
      if (text.size() > box.text.size()) box.text = text;
    } else if (HasClass(child, "Button") && IsWindowVisible(child)) {
      box.buttons.push_back(GetDlgCtrlID(child));
    }
  }
  return box;
}

bool AnswerMessageBox(const MessageBoxView& box, int buttonId) {
  PostMessageA(box.window, WM_COMMAND, MAKEWPARAM(buttonId, BN_CLICKED),
               reinterpret_cast<LPARAM>(GetDlgItem(box.window, buttonId)));
  constexpr DWORD kPollMs = 50;
  for (DWORD waited = 0; waited <= kPatienceMs && IsWindow(box.window); waited += kPollMs) {
    Sleep(kPollMs);
  }
  return !IsWindow(box.window);
}

HWND FindDescendant(HWND parent, const char* className) {
  WindowSearch search{parent, className, nullptr};
  EnumChildWindows(parent, TakeWindowOfClass, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

namespace {

PROCESS_INFORMATION StartProgram(const std::string& programPath) {
  PROCESS_INFORMATION started{};
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  std::vector<char> commandLine(programPath.size() + 3, '\0');
  const std::string quoted = "\"" + programPath + "\"";
  std::copy(quoted.begin(), quoted.end(), commandLine.begin());
  if (!CreateProcessA(programPath.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0,
                      nullptr, nullptr, &startup, &started)) {
    return PROCESS_INFORMATION{};
  }
  CloseHandle(started.hThread);
  return started;
}

}  // namespace

SetupProcess::SetupProcess(const std::string& programPath)
    : m_process(StartProgram(programPath).hProcess) {
  m_id = m_process.Get() != nullptr ? GetProcessId(m_process.Get()) : 0;
}

SetupProcess::~SetupProcess() {
  if (IsRunning()) {
    TerminateProcess(m_process.Get(), 1);
    WaitForSingleObject(m_process.Get(), kPatienceMs);
  }
}

bool SetupProcess::IsRunning() const {
  return m_process.Get() != nullptr && WaitForSingleObject(m_process.Get(), 0) == WAIT_TIMEOUT;
}

bool SetupProcess::WaitForExit() const {
  return m_process.Get() != nullptr &&
         WaitForSingleObject(m_process.Get(), kPatienceMs) == WAIT_OBJECT_0;
}

std::string WindowText(HWND window) {
  const LRESULT length = SendMessageA(window, WM_GETTEXTLENGTH, 0, 0);
  std::vector<char> buffer(static_cast<std::size_t>(std::max<LRESULT>(length, 0)) + 1, '\0');
  const LRESULT copied = SendMessageA(window, WM_GETTEXT, buffer.size(),
                                      reinterpret_cast<LPARAM>(buffer.data()));
  return std::string(buffer.data(), static_cast<std::size_t>(std::max<LRESULT>(copied, 0)));
}

}  // namespace e2e
