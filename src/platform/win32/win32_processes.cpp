#include "platform/win32/win32_processes.h"

#include <windows.h>
#include <tlhelp32.h>

#include <algorithm>

namespace platform {
namespace {

// The 8-bit entry record whose size the walk announces.
static_assert(sizeof(PROCESSENTRY32) == 296, "the 8-bit PROCESSENTRY32 of a 32-bit build");

// Owns a snapshot handle and closes it when it goes out of scope.
class ScopedSnapshot {
 public:
  explicit ScopedSnapshot(HANDLE handle) : m_handle(handle) {}
  ScopedSnapshot(const ScopedSnapshot&) = delete;
  ScopedSnapshot& operator=(const ScopedSnapshot&) = delete;
  ~ScopedSnapshot() {
    if (IsOpen()) CloseHandle(m_handle);
  }

  bool IsOpen() const { return m_handle != INVALID_HANDLE_VALUE; }
  HANDLE Get() const { return m_handle; }

 private:
  HANDLE m_handle;
};

}  // namespace

std::optional<std::vector<std::string>> Win32Processes::ExecutableNames() {
  const ScopedSnapshot snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
  if (!snapshot.IsOpen()) return std::nullopt;
  std::vector<std::string> names;
  PROCESSENTRY32 entry{};
  entry.dwSize = sizeof entry;
  for (BOOL more = Process32First(snapshot.Get(), &entry); more;
       more = Process32Next(snapshot.Get(), &entry)) {
    // The name fills a fixed field; it is read up to its zero byte or the field's end.
    const char* name = entry.szExeFile;
    names.emplace_back(name, std::find(name, name + sizeof entry.szExeFile, '\0'));
  }
  return names;
}

}  // namespace platform
