// The user-facing calls outside the dialog's own window: message boxes (and, later, the
// folder picker), shaped like the Win32 calls they stand for.
#pragma once

#include <cstdint>
#include <string>

namespace platform {

using WindowHandle = std::uintptr_t;
constexpr WindowHandle kNoWindow = 0;

// MessageBoxA types and answers.
constexpr unsigned kMbOk = 0x0;
constexpr unsigned kMbAbortRetryIgnore = 0x2;
constexpr unsigned kMbIconWarning = 0x30;
constexpr int kIdOk = 1;
constexpr int kIdAbort = 3;
constexpr int kIdRetry = 4;
constexpr int kIdIgnore = 5;

class Desktop {
 public:
  virtual ~Desktop() = default;

  // MessageBoxA: the answer, or 0 when the box could not be shown.
  virtual int ShowMessageBox(WindowHandle owner, const std::string& text,
                             const std::string& caption, unsigned type) = 0;
  // The active window of the calling thread (the setup dialog while it is up), which owns
  // the message boxes raised from outside the dialog's own code.
  virtual WindowHandle ActiveWindow() = 0;
};

}  // namespace platform
