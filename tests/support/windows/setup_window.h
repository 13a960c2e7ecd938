// SetUp.exe as a Windows-side program drives it: started as a process of its own, its setup
// dialog found by its caption, its controls read through window messages.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace e2e {

// Owns one kernel handle.
class ScopedHandle {
 public:
  explicit ScopedHandle(HANDLE handle = nullptr) : m_handle(handle) {}
  ScopedHandle(const ScopedHandle&) = delete;
  ScopedHandle& operator=(const ScopedHandle&) = delete;
  ~ScopedHandle() {
    if (m_handle != nullptr && m_handle != INVALID_HANDLE_VALUE) CloseHandle(m_handle);
  }
  HANDLE Get() const { return m_handle; }

 private:
  HANDLE m_handle;
};

// A path as Windows programs take it: a Unix path ("/x/y") becomes "Z:\x\y" (Wine maps the
// Unix root to drive Z:); anything else is returned as it is.
std::string ToWindowsPath(const std::string& path);

// The setup dialog of the given process (of any process for 0), or null.
HWND FindSetupDialog(DWORD processId);

// Waits for the setup dialog of the given process to be visible; null when it does not come
// within `patienceMs`.
HWND WaitForSetupDialog(DWORD processId, DWORD patienceMs);

// How long the suite waits for the program to show or end a window before it fails.
constexpr DWORD kPatienceMs = 30000;

class SetupProcess {
 public:
  // Starts the program; IsRunning() tells whether that worked.
  explicit SetupProcess(const std::string& programPath);
  // Ends the program if it still runs, so that no test leaves one behind.
  ~SetupProcess();

  bool IsRunning() const;
  DWORD Id() const { return m_id; }
  HWND WaitForDialog() const { return WaitForSetupDialog(m_id, kPatienceMs); }
  // True when the process ended within the patience allowed.
  bool WaitForExit() const;

 private:
  ScopedHandle m_process;
  DWORD m_id = 0;
};

// A visible top-level window owned by `owner`, or null.
HWND FindOwnedWindow(HWND owner);

// A visible top-level window owned by `owner` (a box or picker it shows); null when none comes
// within the patience allowed.
HWND WaitForOwnedWindow(HWND owner);

// A message box as the user sees it: its caption, its text and the ids of its buttons.
struct MessageBoxView {
  HWND window = nullptr;
  std::string caption;
  std::string text;
  std::vector<int> buttons;  // in the order the box holds them
};

// Waits for the message box that `owner` shows and reads it; `window` is null when none comes
// within the patience allowed.
MessageBoxView WaitForMessageBox(HWND owner);

// Answers a message box as a click on one of its buttons does, and waits for it to go; false
// when it stays.
bool AnswerMessageBox(const MessageBoxView& box, int buttonId);

// The first window of the class among the descendants of `parent`, or null.
HWND FindDescendant(HWND parent, const char* className);

// The text of a window (WM_GETTEXT, which reaches the controls of another process too),
// however long.
std::string WindowText(HWND window);

}  // namespace e2e
