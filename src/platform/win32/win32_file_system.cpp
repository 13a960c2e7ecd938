#include "platform/win32/win32_file_system.h"

#include <aclapi.h>
#include <direct.h>
#include <sddl.h>
#include <windows.h>

#include <cstddef>
#include <memory>
#include <vector>

#include "platform/win32/win32_handles.h"

namespace platform {
namespace {

HANDLE ToHandle(std::uintptr_t handle) { return reinterpret_cast<HANDLE>(handle); }

void Report(const WIN32_FIND_DATAA& data, FoundEntry* entry) {
  entry->name = data.cFileName;
  entry->attributes = data.dwFileAttributes;
  entry->size = static_cast<std::uint64_t>(data.nFileSizeHigh) << 32 | data.nFileSizeLow;
}

// The user the program runs as; empty when it cannot be read.
std::vector<BYTE> RunningUser() {
  ScopedKernelHandle token;
  if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, token.Receive())) return {};
  DWORD size = 0;
  GetTokenInformation(token.Get(), TokenUser, nullptr, 0, &size);
  std::vector<BYTE> user(size);
  if (size == 0 || !GetTokenInformation(token.Get(), TokenUser, user.data(), size, &size)) return {};
  return user;
}

PSID SidOf(std::vector<BYTE>& user) { return reinterpret_cast<TOKEN_USER*>(user.data())->User.Sid; }

// Whether the process acts for the whole machine: it runs as SYSTEM or for the administrators.
bool ActsForMachine(std::vector<BYTE>& user) {
  BYTE administrators[SECURITY_MAX_SID_SIZE] = {};
  DWORD size = sizeof administrators;
  BOOL member = FALSE;
  const bool admin = CreateWellKnownSid(WinBuiltinAdministratorsSid, nullptr, administrators, &size) &&
                     CheckTokenMembership(nullptr, administrators, &member) && member;
  return admin || (!user.empty() && IsWellKnownSid(SidOf(user), WinLocalSystemSid));
}

// The protected access list in the security descriptor language: protected from inheritance (P);
// full control (FA) for SYSTEM (SY) and the administrators (BA), and for the running user only when
// it installs for itself alone (neither SYSTEM nor an administrator); read and execute (0x1200a9)
// for the users (BU) and for whoever owns the folder or a file in it (OW: the owner's implicit
// right to change the access list is gone), each for the folder, its sub-folders and files (OICI).
std::string ProtectedFolderAccess() {
  std::vector<BYTE> user = RunningUser();
  ScopedLocal<char*> text;
  const bool named = !user.empty() && !ActsForMachine(user) && ConvertSidToStringSidA(SidOf(user), text.Receive());
  return "D:P(A;OICI;FA;;;SY)(A;OICI;FA;;;BA)" + (named ? "(A;OICI;FA;;;" + std::string(text.Get()) + ")" : "") +
         "(A;OICI;0x1200a9;;;BU)(A;OICI;0x1200a9;;;OW)";
}

ErrorCode ProtectedDescriptor(ScopedLocal<PSECURITY_DESCRIPTOR>& descriptor) {
  return Outcome(ConvertStringSecurityDescriptorToSecurityDescriptorA(ProtectedFolderAccess().c_str(), SDDL_REVISION_1,
                                                                      descriptor.Receive(), nullptr));
}

ErrorCode SetAccess(const std::string& path, SECURITY_INFORMATION what, PACL dacl) {
  return SetNamedSecurityInfoA(const_cast<char*>(path.c_str()), SE_FILE_OBJECT, what, nullptr, nullptr, dacl, nullptr);
}

// SYSTEM, the administrators, TrustedInstaller, "the owner" and the running user (an
// administrator's own account when it runs for the machine, the user's for an install of its own).
bool IsTrusted(PSID sid, std::vector<BYTE>& user) {
  const WELL_KNOWN_SID_TYPE trusted[] = {WinLocalSystemSid, WinBuiltinAdministratorsSid, WinCreatorOwnerRightsSid};
  for (const WELL_KNOWN_SID_TYPE type : trusted) {
    if (IsWellKnownSid(sid, type)) return true;
  }
  ScopedLocal<char*> text;
  if (ConvertSidToStringSidA(sid, text.Receive()) &&
      std::string(text.Get()) == "S-1-5-80-956008885-3418522649-1831038044-1853292631-2271478464") {
    return true;
  }
  return !user.empty() && EqualSid(sid, SidOf(user));
}

// The rights `dacl` grants anybody not trusted, generic full control standing for every right.
std::uint32_t OthersRights(PACL dacl, std::vector<BYTE>& user) {
  if (dacl == nullptr) return kRightsAll;
  std::uint32_t rights = 0;
  for (DWORD index = 0; index < dacl->AceCount; ++index) {
    void* entry = nullptr;
    if (!GetAce(dacl, index, &entry)) return kRightsAll;
    const auto* ace = static_cast<ACCESS_ALLOWED_ACE*>(entry);
    if (ace->Header.AceType == ACCESS_DENIED_ACE_TYPE || (ace->Header.AceFlags & INHERIT_ONLY_ACE) != 0) continue;
    // An entry of another kind is read as granting everything.
    if (ace->Header.AceType != ACCESS_ALLOWED_ACE_TYPE) return kRightsAll;
    if (IsTrusted(const_cast<DWORD*>(&ace->SidStart), user)) continue;
    rights |= (ace->Mask & GENERIC_ALL) != 0 ? kRightsAll : ace->Mask;
  }
  return rights;
}

// A file or folder opened as it is, a link itself rather than what it leads to, to read its
// security or to act on it; `access` and `share` as CreateFileA takes them.
HANDLE OpenAsItIs(const std::string& path, DWORD access, DWORD share) {
  return CreateFileA(path.c_str(), access, share, nullptr, OPEN_EXISTING,
                     FILE_FLAG_OPEN_REPARSE_POINT | FILE_FLAG_BACKUP_SEMANTICS, nullptr);
}

// The owner and access list of `path`, read through a handle of it as it is; kErrorAccessDenied for
// a link or a junction, whose own list says nothing of what it leads to.
ErrorCode ReadSecurity(const std::string& path, PSID* owner, PACL* dacl,
                       ScopedLocal<PSECURITY_DESCRIPTOR>& descriptor) {
  const ScopedFileHandle entry({}, OpenAsItIs(path, READ_CONTROL | FILE_READ_ATTRIBUTES,
                                              FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE));
  FILE_BASIC_INFO information{};
  if (!entry.IsOpen() || !GetFileInformationByHandleEx(entry.Get(), FileBasicInfo, &information, sizeof information))
    return GetLastError();
  if ((information.FileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0) return kErrorAccessDenied;
  return GetSecurityInfo(entry.Get(), SE_FILE_OBJECT, OWNER_SECURITY_INFORMATION | DACL_SECURITY_INFORMATION, owner,
                         nullptr, dacl, nullptr, descriptor.Receive());
}

// The attributes a copy takes from its source, as CopyFileA gives them.
constexpr DWORD kCopiedAttributes = FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM |
                                    FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_NOT_CONTENT_INDEXED;
constexpr DWORD kCopyChunk = 1024 * 1024;

// Writes all of `bytes`: a write that takes fewer found the disk full.
ErrorCode WriteAll(HANDLE file, const char* bytes, DWORD length) {
  DWORD written = 0;
  if (!WriteFile(file, bytes, length, &written, nullptr)) return GetLastError();
  return written == length ? kErrorSuccess : kErrorDiskFull;
}

// Reads `source` to its end into `target` through `buffer` (kCopyChunk bytes), each piece through
// `hash` on its way.
ErrorCode CopyBytes(HANDLE source, HANDLE target, char* buffer, ContentHash& hash) {
  for (;;) {
    DWORD read = 0;
    if (!ReadFile(source, buffer, kCopyChunk, &read, nullptr)) return GetLastError();
    if (read == 0) return kErrorSuccess;
    hash.Add(buffer, read);
    const ErrorCode written = WriteAll(target, buffer, read);
    if (written != kErrorSuccess) return written;
  }
}

}  // namespace

std::uint32_t Win32FileSystem::ModuleFileName(char* buffer, std::uint32_t size) {
  return GetModuleFileNameA(nullptr, buffer, size);
}

ErrorCode Win32FileSystem::FindFirst(const std::string& pattern, FindHandle* handle, FoundEntry* entry) {
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

ErrorCode Win32FileSystem::CloseFind(FindHandle handle) { return Outcome(FindClose(ToHandle(handle))); }

std::uint32_t Win32FileSystem::GetAttributes(const std::string& path) { return GetFileAttributesA(path.c_str()); }

ErrorCode Win32FileSystem::SetAttributes(const std::string& path, std::uint32_t attributes) {
  return Outcome(SetFileAttributesA(path.c_str(), attributes));
}

ErrorCode Win32FileSystem::Copy(const std::string& from, const std::string& to, bool failIfExists) {
  return Outcome(CopyFileA(from.c_str(), to.c_str(), failIfExists ? TRUE : FALSE));
}

ErrorCode Win32FileSystem::CopyWithDigest(const std::string& from, const std::string& to, bool failIfExists,
                                          FileDigest* digest) {
  ScopedFileHandle source, target;
  *source.Receive() = CreateFileA(from.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_DELETE, nullptr,
                                  OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
  // The basic information alone: the full one asks for the volume as well, which costs more than the copy of a
  // small file.
  FILE_BASIC_INFO information{};
  if (!source.IsOpen() || !GetFileInformationByHandleEx(source.Get(), FileBasicInfo, &information, sizeof information))
    return GetLastError();
  *target.Receive() = CreateFileA(to.c_str(), GENERIC_WRITE, 0, nullptr, failIfExists ? CREATE_NEW : CREATE_ALWAYS,
                                  information.FileAttributes & kCopiedAttributes, nullptr);
  if (!target.IsOpen()) return GetLastError();
  if (!m_copyBuffer) m_copyBuffer.reset(new char[kCopyChunk]);  // filled by each read before it is used
  ContentHash hash;
  ErrorCode copied = CopyBytes(source.Get(), target.Get(), m_copyBuffer.get(), hash);
  const FILETIME lastWrite{information.LastWriteTime.LowPart, static_cast<DWORD>(information.LastWriteTime.HighPart)};
  if (copied == kErrorSuccess) copied = Outcome(SetFileTime(target.Get(), nullptr, nullptr, &lastWrite));
  target.Reset();
  if (copied != kErrorSuccess) {
    DeleteFileA(to.c_str());
    return copied;
  }
  *digest = hash.Finish();
  return kErrorSuccess;
}

ErrorCode Win32FileSystem::Move(const std::string& from, const std::string& to, std::uint32_t flags) {
  return Outcome(MoveFileExA(from.c_str(), to.empty() ? nullptr : to.c_str(), flags));
}

ErrorCode Win32FileSystem::Delete(const std::string& path) { return Outcome(DeleteFileA(path.c_str())); }

ErrorCode Win32FileSystem::MakeDirectory(const std::string& path) {
  // The runtime's _mkdir leaves the error of the directory call it makes.
  return _mkdir(path.c_str()) == 0 ? kErrorSuccess : GetLastError();
}

ErrorCode Win32FileSystem::MakeProtectedDirectory(const std::string& path) {
  ScopedLocal<PSECURITY_DESCRIPTOR> descriptor;
  const ErrorCode made = ProtectedDescriptor(descriptor);
  if (made != kErrorSuccess) return made;
  SECURITY_ATTRIBUTES security{sizeof security, descriptor.Get(), FALSE};
  return Outcome(CreateDirectoryA(path.c_str(), &security));
}

ErrorCode Win32FileSystem::ProtectFolder(const std::string& path) {
  ScopedLocal<PSECURITY_DESCRIPTOR> descriptor;
  ErrorCode result = ProtectedDescriptor(descriptor);
  BOOL present = FALSE, defaulted = FALSE;
  PACL dacl = nullptr;
  if (result == kErrorSuccess)
    result = Outcome(GetSecurityDescriptorDacl(descriptor.Get(), &present, &dacl, &defaulted));
  return result == kErrorSuccess
             ? SetAccess(path, DACL_SECURITY_INFORMATION | PROTECTED_DACL_SECURITY_INFORMATION, dacl)
             : result;
}

ErrorCode Win32FileSystem::InheritAccess(const std::string& path) {
  ACL empty{};
  if (!InitializeAcl(&empty, sizeof empty, ACL_REVISION)) return GetLastError();
  return SetAccess(path, DACL_SECURITY_INFORMATION | UNPROTECTED_DACL_SECURITY_INFORMATION, &empty);
}

ErrorCode Win32FileSystem::QueryOthersRights(const std::string& path, std::uint32_t* rights) {
  PSID owner = nullptr;
  PACL dacl = nullptr;
  ScopedLocal<PSECURITY_DESCRIPTOR> descriptor;
  const ErrorCode read = ReadSecurity(path, &owner, &dacl, descriptor);
  if (read != kErrorSuccess) return read;
  std::vector<BYTE> user = RunningUser();
  *rights = owner == nullptr || !IsTrusted(owner, user) ? kRightsAll : OthersRights(dacl, user);
  return kErrorSuccess;
}

ErrorCode Win32FileSystem::QueryAccessText(const std::string& path, std::string* text) {
  PSID owner = nullptr;
  PACL dacl = nullptr;
  ScopedLocal<PSECURITY_DESCRIPTOR> descriptor;
  ScopedLocal<char*> converted;
  ErrorCode read = ReadSecurity(path, &owner, &dacl, descriptor);
  if (read == kErrorSuccess)
    read = Outcome(ConvertSecurityDescriptorToStringSecurityDescriptorA(
        descriptor.Get(), SDDL_REVISION_1, DACL_SECURITY_INFORMATION, converted.Receive(), nullptr));
  if (read == kErrorSuccess) *text = converted.Get();
  return read;
}

std::uint32_t Win32FileSystem::FullPathName(const std::string& path, char* buffer, std::uint32_t size) {
  return GetFullPathNameA(path.c_str(), size, buffer, nullptr);
}

std::uint32_t Win32FileSystem::LongPathName(const std::string& path, char* buffer, std::uint32_t size) {
  return GetLongPathNameA(path.c_str(), buffer, size);
}

ErrorCode Win32FileSystem::Identify(const std::string& path, FileId* id) {
  ScopedFileHandle file;
  *file.Receive() = CreateFileA(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  BY_HANDLE_FILE_INFORMATION information{};
  if (!file.IsOpen() || !GetFileInformationByHandle(file.Get(), &information)) return GetLastError();
  *id = FileId{information.dwVolumeSerialNumber,
               (static_cast<std::uint64_t>(information.nFileIndexHigh) << 32) | information.nFileIndexLow};
  return kErrorSuccess;
}

ErrorCode Win32FileSystem::CreateFileForWriting(const std::string& path, WriteMode mode, FileHandle* handle) {
  const DWORD disposition = mode == WriteMode::New       ? CREATE_NEW
                            : mode == WriteMode::Replace ? CREATE_ALWAYS
                                                         : OPEN_ALWAYS;
  *handle = kInvalidFile;
  const HANDLE file =
      CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, disposition, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return GetLastError();
  if (mode == WriteMode::Append && !SetFilePointerEx(file, LARGE_INTEGER{}, nullptr, FILE_END)) {
    const ErrorCode error = GetLastError();
    CloseHandle(file);
    return error;
  }
  *handle = reinterpret_cast<FileHandle>(file);
  return kErrorSuccess;
}

ErrorCode Win32FileSystem::WriteToFile(FileHandle handle, const std::string& bytes) {
  return WriteAll(ToHandle(handle), bytes.data(), static_cast<DWORD>(bytes.size()));
}

ErrorCode Win32FileSystem::FlushFile(FileHandle handle) { return Outcome(FlushFileBuffers(ToHandle(handle))); }

ErrorCode Win32FileSystem::OpenFileForReading(const std::string& path, FileHandle* handle) {
  const HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                  OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
  *handle = file == INVALID_HANDLE_VALUE ? kInvalidFile : reinterpret_cast<FileHandle>(file);
  return file == INVALID_HANDLE_VALUE ? GetLastError() : kErrorSuccess;
}

ErrorCode Win32FileSystem::ReadFromFile(FileHandle handle, char* buffer, std::uint32_t size, std::uint32_t* read) {
  DWORD got = 0;
  const ErrorCode result = Outcome(ReadFile(ToHandle(handle), buffer, size, &got, nullptr));
  *read = got;
  return result;
}

ErrorCode Win32FileSystem::CloseFile(FileHandle handle) { return Outcome(CloseHandle(ToHandle(handle))); }

ErrorCode Win32FileSystem::RemoveFolder(const std::string& path) { return Outcome(RemoveDirectoryA(path.c_str())); }

ErrorCode Win32FileSystem::OpenEntry(const std::string& path, FileHandle* handle) {
  // A folder is shared for writing too: files are made in it, and moved within it, while it is held.
  const DWORD attributes = GetFileAttributesA(path.c_str());
  const bool folder = attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
  const HANDLE entry = OpenAsItIs(path, GENERIC_READ | DELETE | FILE_WRITE_ATTRIBUTES,
                                  FILE_SHARE_READ | (folder ? FILE_SHARE_WRITE : 0));
  *handle = entry == INVALID_HANDLE_VALUE ? kInvalidFile : reinterpret_cast<FileHandle>(entry);
  return entry == INVALID_HANDLE_VALUE ? GetLastError() : kErrorSuccess;
}

ErrorCode Win32FileSystem::FinalPathName(FileHandle handle, std::string* path) {
  std::vector<char> buffer(kMaxPath);
  DWORD length = 0;
  for (;;) {
    length = GetFinalPathNameByHandleA(ToHandle(handle), buffer.data(), static_cast<DWORD>(buffer.size()),
                                       FILE_NAME_NORMALIZED | VOLUME_NAME_DOS);
    if (length == 0) return GetLastError();
    if (length < buffer.size()) break;
    buffer.resize(length + 1);  // the size needed, its zero included
  }
  const std::string final(buffer.data(), length);
  *path = final.rfind("\\\\?\\UNC\\", 0) == 0 ? "\\" + final.substr(7)
          : final.rfind("\\\\?\\", 0) == 0    ? final.substr(4)
                                              : final;
  return kErrorSuccess;
}

ErrorCode Win32FileSystem::OpenAttributes(FileHandle handle, std::uint32_t* attributes) {
  FILE_BASIC_INFO information{};
  if (!GetFileInformationByHandleEx(ToHandle(handle), FileBasicInfo, &information, sizeof information))
    return GetLastError();
  *attributes = information.FileAttributes;
  return kErrorSuccess;
}

ErrorCode Win32FileSystem::DeleteOpened(FileHandle handle) {
  FILE_DISPOSITION_INFO disposition{TRUE};
  return Outcome(SetFileInformationByHandle(ToHandle(handle), FileDispositionInfo, &disposition, sizeof disposition));
}

ErrorCode Win32FileSystem::RenameOpened(FileHandle handle, const std::string& to) {
  // The name in UTF-16, as the 8-bit calls would read it, behind the structure's fixed fields.
  const int length =
      MultiByteToWideChar(CP_ACP, MB_ERR_INVALID_CHARS, to.data(), static_cast<int>(to.size()), nullptr, 0);
  if (length <= 0) return GetLastError();
  const std::size_t nameBytes = static_cast<std::size_t>(length) * sizeof(WCHAR);
  const std::size_t size = offsetof(FILE_RENAME_INFO, FileName) + nameBytes + sizeof(WCHAR);
  std::vector<FILE_RENAME_INFO> buffer((size + sizeof(FILE_RENAME_INFO) - 1) / sizeof(FILE_RENAME_INFO));
  FILE_RENAME_INFO* rename = buffer.data();
  rename->ReplaceIfExists = FALSE;
  rename->RootDirectory = nullptr;
  rename->FileNameLength = static_cast<DWORD>(nameBytes);
  WCHAR* name = reinterpret_cast<WCHAR*>(reinterpret_cast<BYTE*>(rename) + offsetof(FILE_RENAME_INFO, FileName));
  MultiByteToWideChar(CP_ACP, 0, to.data(), static_cast<int>(to.size()), name, length);
  name[length] = L'\0';
  return Outcome(SetFileInformationByHandle(ToHandle(handle), FileRenameInfo, rename, static_cast<DWORD>(size)));
}

ErrorCode Win32FileSystem::ClearReadOnlyOpened(FileHandle handle) {
  FILE_BASIC_INFO information{};
  if (!GetFileInformationByHandleEx(ToHandle(handle), FileBasicInfo, &information, sizeof information))
    return GetLastError();
  if ((information.FileAttributes & FILE_ATTRIBUTE_READONLY) == 0) return kErrorSuccess;
  information.FileAttributes &= ~static_cast<DWORD>(FILE_ATTRIBUTE_READONLY);
  if (information.FileAttributes == 0) information.FileAttributes = FILE_ATTRIBUTE_NORMAL;
  // Times of zero are left as they are.
  information.CreationTime.QuadPart = information.LastAccessTime.QuadPart = 0;
  information.LastWriteTime.QuadPart = information.ChangeTime.QuadPart = 0;
  return Outcome(SetFileInformationByHandle(ToHandle(handle), FileBasicInfo, &information, sizeof information));
}

}  // namespace platform
