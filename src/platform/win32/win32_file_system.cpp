#include "platform/win32/win32_file_system.h"

#include <direct.h>
#include <windows.h>
#include <sddl.h>

#include <memory>
#include <vector>

namespace platform {
namespace {

HANDLE ToHandle(FindHandle handle) { return reinterpret_cast<HANDLE>(handle); }

void Report(const WIN32_FIND_DATAA& data, FoundEntry* entry) {
  entry->name = data.cFileName;
  entry->attributes = data.dwFileAttributes;
  entry->size = static_cast<std::uint64_t>(data.nFileSizeHigh) << 32 | data.nFileSizeLow;
}

// The error of a call that returned a Win32 BOOL.
ErrorCode Outcome(BOOL succeeded) { return succeeded ? kErrorSuccess : GetLastError(); }

// Frees what a security call allocated with LocalAlloc when it goes out of scope.
template <typename Pointer>
class ScopedLocal {
 public:
  ScopedLocal() = default;
  ScopedLocal(const ScopedLocal&) = delete;
  ScopedLocal& operator=(const ScopedLocal&) = delete;
  ~ScopedLocal() {
    if (m_pointer != nullptr) LocalFree(m_pointer);
  }
  Pointer Get() const { return m_pointer; }
  Pointer* Receive() { return &m_pointer; }

 private:
  Pointer m_pointer = nullptr;
};

// The SID of the user the program runs as, as text ("S-1-5-..."); empty when it cannot be read.
std::string RunningUserSid() {
  HANDLE opened = nullptr;
  if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &opened)) return "";
  const std::unique_ptr<void, decltype(&CloseHandle)> token(opened, CloseHandle);
  DWORD size = 0;
  GetTokenInformation(token.get(), TokenUser, nullptr, 0, &size);
  std::vector<BYTE> user(size);
  ScopedLocal<char*> text;
  const bool read = size > 0 && GetTokenInformation(token.get(), TokenUser, user.data(), size, &size) &&
                    ConvertSidToStringSidA(reinterpret_cast<TOKEN_USER*>(user.data())->User.Sid, text.Receive());
  return read ? text.Get() : "";
}

// The folder's own access list in the security descriptor language: protected from
// inheritance (P); full control (FA) for SYSTEM (SY), the administrators (BA) and the running
// user, read and execute (0x1200a9) for the users (BU), each for the folder, its sub-folders and
// files (OICI).
std::string ProtectedFolderAccess() {
  const std::string user = RunningUserSid();
  return "D:P(A;OICI;FA;;;SY)(A;OICI;FA;;;BA)" + (user.empty() ? "" : "(A;OICI;FA;;;" + user + ")") +
         "(A;OICI;0x1200a9;;;BU)";
}

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

ErrorCode Win32FileSystem::MakeProtectedDirectory(const std::string& path) {
  ScopedLocal<PSECURITY_DESCRIPTOR> descriptor;
  if (!ConvertStringSecurityDescriptorToSecurityDescriptorA(ProtectedFolderAccess().c_str(), SDDL_REVISION_1,
                                                            descriptor.Receive(), nullptr)) {
    return GetLastError();
  }
  SECURITY_ATTRIBUTES security{sizeof security, descriptor.Get(), FALSE};
  return Outcome(CreateDirectoryA(path.c_str(), &security));
}

std::uint32_t Win32FileSystem::FullPathName(const std::string& path, char* buffer, std::uint32_t size) {
  return GetFullPathNameA(path.c_str(), size, buffer, nullptr);
}

ErrorCode Win32FileSystem::CreateFileForWriting(const std::string& path, bool mustBeNew, FileHandle* handle) {
  const HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                                  mustBeNew ? CREATE_NEW : CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  *handle = file == INVALID_HANDLE_VALUE ? kInvalidFile : reinterpret_cast<FileHandle>(file);
  return file == INVALID_HANDLE_VALUE ? GetLastError() : kErrorSuccess;
}

ErrorCode Win32FileSystem::WriteToFile(FileHandle handle, const std::string& bytes) {
  DWORD written = 0;
  const BOOL wrote = WriteFile(ToHandle(handle), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
  return wrote && written == bytes.size() ? kErrorSuccess : GetLastError();
}

ErrorCode Win32FileSystem::CloseFile(FileHandle handle) { return Outcome(CloseHandle(ToHandle(handle))); }

ErrorCode Win32FileSystem::ReadWholeFile(const std::string& path, std::size_t limit, std::string* contents) {
  const HANDLE opened = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  if (opened == INVALID_HANDLE_VALUE) return GetLastError();
  const std::unique_ptr<void, decltype(&CloseHandle)> file(opened, CloseHandle);
  LARGE_INTEGER size{};
  if (!GetFileSizeEx(file.get(), &size)) return GetLastError();
  if (static_cast<std::uint64_t>(size.QuadPart) > limit) return kErrorFileTooLarge;
  contents->assign(static_cast<std::size_t>(size.QuadPart), '\0');
  DWORD read = 0;
  if (!ReadFile(file.get(), contents->data(), static_cast<DWORD>(contents->size()), &read, nullptr)) return GetLastError();
  contents->resize(read);
  return kErrorSuccess;
}

ErrorCode Win32FileSystem::RemoveFolder(const std::string& path) { return Outcome(RemoveDirectoryA(path.c_str())); }

ErrorCode Win32FileSystem::DeleteAtRestart(const std::string& path) {
  return Outcome(MoveFileExA(path.c_str(), nullptr, MOVEFILE_DELAY_UNTIL_REBOOT));
}

}  // namespace platform
