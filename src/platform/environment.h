// What the program asks of the machine and the process it runs in, shaped like the Win32 calls
// it stands for: the temporary folder, the local time, the process's elevation, the system's
// code page and text conversion from it.
#pragma once

#include <string>

namespace platform {

// SYSTEMTIME's date and time of day.
struct LocalTime {
  int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0;
};

class Environment {
 public:
  virtual ~Environment() = default;

  // GetTempPath2A where the system has it (SYSTEM's own temporary folder for a process of
  // SYSTEM), else GetTempPathA: the temporary folder, with its trailing backslash; "" when there is
  // none.
  virtual std::string TempFolder() = 0;
  // RtlGenRandom: fills `buffer` with `size` bytes nobody can guess; false when it cannot.
  virtual bool RandomBytes(void* buffer, unsigned size) = 0;
  // GetLocalTime.
  virtual LocalTime Now() = 0;
  // Whether the process's token is elevated (TokenElevation).
  virtual bool IsElevated() = 0;
  // A text of the system's code page in UTF-8 (MultiByteToWideChar, then WideCharToMultiByte).
  virtual std::string ToUtf8(const std::string& text) = 0;
  // GetACP: the system's ANSI code page.
  virtual unsigned AnsiCodePage() = 0;
};

}  // namespace platform
