#include "platform/win32/win32_file_system.h"

#include <direct.h>
#include <windows.h>

namespace platform {
namespace {

HANDLE ToHandle(FindHandle handle) { return reinterpret_cast<HANDLE>(handle); }

void Report(const WIN32_FIND_DATAA& data, FoundEntry* entry) {
  entry->name = data.cFileName;
  entry->attributes = data.dwFileAttributes;
}

// The error of a call that returned a Win32 BOOL.
ErrorCode Outcome(BOOL succeeded) { return succeeded ? kErrorSuccess : GetLastError(); }

}  // namespace

std::uint32_t Win32FileSystem::ModuleFileName(char* buffer, std::uint32_t size) {
  return GetModuleFileNameA(nullptr, buffer, size);
}

ErrorCode Win32FileSystem::FindFirst(const std::string& pattern, FindHandle* handle,
                                     FoundEntry* entry) {
  WIN32_FIND_DATAA data{};
  const HANDLE found = FindFirstFileA(pattern.c_str(), &data);
  if (found == INVALID_HANDLE_VALUE) {
    *handle = kInvalidFindHandle;
    return GetLastError();
  }
  *handle = reinterpret_cast<FindHandle>(found);
  Report(data, entry);
  return kErrorSuccess;
}

ErrorCode Win32FileSystem::FindNext(FindHandle handle, FoundEntry* entry) {
  WIN32_FIND_DATAA data{};
  if (!FindNextFileA(ToHandle(handle), &data)) return GetLastError();
  Report(data, entry);
  return kErrorSuccess;
}

ErrorCode Win32FileSystem::CloseFind(FindHandle handle) {
  return Outcome(FindClose(ToHandle(handle)));
}

std::uint32_t Win32FileSystem::GetAttributes(const std::string& path) {
  return GetFileAttributesA(path.c_str());
}

ErrorCode Win32FileSystem::SetAttributes(const std::string& path, std::uint32_t attributes) {
  return Outcome(SetFileAttributesA(path.c_str(), attributes));
}

ErrorCode Win32FileSystem::Copy(const std::string& from, const std::string& to,
                                bool failIfExists) {
  return Outcome(CopyFileA(from.c_str(), to.c_str(), failIfExists ? TRUE : FALSE));
}

ErrorCode Win32FileSystem::Delete(const std::string& path) {
  return Outcome(DeleteFileA(path.c_str()));
}

ErrorCode Win32FileSystem::MakeDirectory(const std::string& path) {
  // The runtime's _mkdir leaves the error of the directory call it makes.
  return _mkdir(path.c_str()) == 0 ? kErrorSuccess : GetLastError();
}

}  // namespace platform
