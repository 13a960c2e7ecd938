#include "platform/win32/win32_environment.h"

#include <windows.h>
// After windows.h: RtlGenRandom (SystemFunction036 of ADVAPI32).
#include <ntsecapi.h>

#include <vector>

#include "platform/win32/win32_handles.h"
#include "platform/win32_types.h"

namespace platform {

std::string Win32Environment::TempFolder() {
  // Windows 11 and the later updates of Windows 10 have GetTempPath2A: looked up, not imported.
  using TempPathCall = DWORD(WINAPI*)(DWORD, LPSTR);
  const auto tempPath2 = reinterpret_cast<TempPathCall>(
      reinterpret_cast<void (*)()>(GetProcAddress(GetModuleHandleA("kernel32.dll"), "GetTempPath2A")));
  char folder[kMaxPath + 1] = {};
  const DWORD length = (tempPath2 != nullptr ? tempPath2 : GetTempPathA)(sizeof folder, folder);
  return length > 0 && length < sizeof folder ? std::string(folder, length) : "";
}

bool Win32Environment::RandomBytes(void* buffer, unsigned size) { return RtlGenRandom(buffer, size) != FALSE; }

LocalTime Win32Environment::Now() {
  SYSTEMTIME now{};
  GetLocalTime(&now);
  return LocalTime{now.wYear, now.wMonth, now.wDay, now.wHour, now.wMinute, now.wSecond};
}

bool Win32Environment::IsElevated() {
  ScopedKernelHandle token;
  if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, token.Receive())) return false;
  TOKEN_ELEVATION elevation{};
  DWORD size = 0;
  return GetTokenInformation(token.Get(), TokenElevation, &elevation, sizeof elevation, &size) &&
         elevation.TokenIsElevated != 0;
}

unsigned Win32Environment::AnsiCodePage() { return GetACP(); }

std::string Win32Environment::ToUtf8(const std::string& text) {
  if (text.empty()) return text;
  const int wideLength = MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
  std::vector<wchar_t> wide(static_cast<std::size_t>(wideLength));
  MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), wide.data(), wideLength);
  const int length = WideCharToMultiByte(CP_UTF8, 0, wide.data(), wideLength, nullptr, 0, nullptr, nullptr);
  std::string utf8(static_cast<std::size_t>(length), '\0');
  WideCharToMultiByte(CP_UTF8, 0, wide.data(), wideLength, utf8.data(), length, nullptr, nullptr);
  return utf8;
}

}  // namespace platform
