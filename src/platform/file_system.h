// The file calls the program makes, shaped like the 8-bit Win32 functions (and the runtime's
// _mkdir) they stand for. Calls that can fail return a Win32 error code.
#pragma once

#include <cstdint>
#include <string>

#include "platform/content_hash.h"
#include "platform/scoped_handle.h"
#include "platform/win32_types.h"

namespace platform {

// Attribute words (dwFileAttributes).
constexpr std::uint32_t kFileAttributeReadOnly = 0x1;
constexpr std::uint32_t kFileAttributeHidden = 0x2;
constexpr std::uint32_t kFileAttributeSystem = 0x4;
constexpr std::uint32_t kFileAttributeDirectory = 0x10;
constexpr std::uint32_t kFileAttributeArchive = 0x20;
constexpr std::uint32_t kFileAttributeNormal = 0x80;
constexpr std::uint32_t kFileAttributeReparsePoint = 0x400;  // a link or a junction
constexpr std::uint32_t kInvalidFileAttributes = 0xFFFFFFFFu;

// Whether `attributes`, as GetAttributes gives them, are those of a path that is there and carries
// any of `flags`.
constexpr bool HasAttribute(std::uint32_t attributes, std::uint32_t flags) {
  return attributes != kInvalidFileAttributes && (attributes & flags) != 0;
}

// MoveFileExA flags.
constexpr std::uint32_t kMoveReplaceExisting = 0x1;
constexpr std::uint32_t kMoveDelayUntilReboot = 0x4;
constexpr std::uint32_t kMoveWriteThrough = 0x8;

// An open directory listing; kInvalidFindHandle stands for INVALID_HANDLE_VALUE.
using FindHandle = std::uintptr_t;
constexpr FindHandle kInvalidFindHandle = static_cast<FindHandle>(-1);

// A file opened for reading or writing (a handle from CreateFileA); kInvalidFile stands for none.
using FileHandle = std::uintptr_t;
constexpr FileHandle kInvalidFile = static_cast<FileHandle>(-1);

// How CreateFileA opens a file for writing: one that must not exist yet (CREATE_NEW), one made
// anew (CREATE_ALWAYS), or one written at its end, made when missing (OPEN_ALWAYS).
enum class WriteMode { New, Replace, Append };

// One directory entry as a listing reports it (cFileName, dwFileAttributes, nFileSize...).
struct FoundEntry {
  std::string name;
  std::uint32_t attributes = 0;
  std::uint64_t size = 0;
};

// What a file or folder is, whatever path names it: its volume's serial number and its file index
// (BY_HANDLE_FILE_INFORMATION's dwVolumeSerialNumber and nFileIndexHigh/Low).
struct FileId {
  std::uint32_t volume = 0;
  std::uint64_t index = 0;
  bool operator==(const FileId& other) const { return volume == other.volume && index == other.index; }
};

class FileSystem {
 public:
  virtual ~FileSystem() = default;

  // GetModuleFileNameA for the program's own file into `buffer` of `size` bytes: the number of
  // characters written without the terminating zero. A path that does not fit is cut, may be
  // left without a terminating zero, and the result is then `size`.
  virtual std::uint32_t ModuleFileName(char* buffer, std::uint32_t size) = 0;

  // FindFirstFileA: opens a listing for `pattern` ("folder\*.*", or a path taken literally) and
  // reports its first entry. `handle` receives kInvalidFindHandle on failure.
  virtual ErrorCode FindFirst(const std::string& pattern, FindHandle* handle, FoundEntry* entry) = 0;
  // FindNextFileA: kErrorNoMoreFiles once the listing is exhausted.
  virtual ErrorCode FindNext(FindHandle handle, FoundEntry* entry) = 0;
  // FindClose.
  virtual ErrorCode CloseFind(FindHandle handle) = 0;

  // GetFileAttributesA: kInvalidFileAttributes when the path cannot be read.
  virtual std::uint32_t GetAttributes(const std::string& path) = 0;
  // SetFileAttributesA.
  virtual ErrorCode SetAttributes(const std::string& path, std::uint32_t attributes) = 0;
  // CopyFileA.
  virtual ErrorCode Copy(const std::string& from, const std::string& to, bool failIfExists) = 0;
  // As Copy over what `to` holds, digesting the bytes on their way: the source's attributes and
  // last write time go with it, but no other stream (no zone mark); a destination left half
  // written is deleted.
  virtual ErrorCode CopyWithDigest(const std::string& from, const std::string& to, bool failIfExists,
                                   FileDigest* digest) = 0;
  // MoveFileExA with the kMove flags; an empty `to` deletes (only with kMoveDelayUntilReboot).
  virtual ErrorCode Move(const std::string& from, const std::string& to, std::uint32_t flags) = 0;
  // DeleteFileA; "file:stream" names an alternate data stream of the file.
  virtual ErrorCode Delete(const std::string& path) = 0;
  // _mkdir: creates one folder whose parent exists.
  virtual ErrorCode MakeDirectory(const std::string& path) = 0;
  // CreateDirectoryA with the protected access list, given at creation: one of the folder's own,
  // inheriting nothing from its parent, that grants full control to SYSTEM and the administrators
  // (and, for a process that is neither, to the user running the program: an install for that
  // user alone), read and execute to the users, and no more than that to the folder's owner.
  virtual ErrorCode MakeProtectedDirectory(const std::string& path) = 0;
  // SetNamedSecurityInfoA: gives an existing folder the protected access list.
  virtual ErrorCode ProtectFolder(const std::string& path) = 0;
  // SetNamedSecurityInfoA: a file or folder inside a protected folder keeps no access list of its
  // own and takes what its folder passes on.
  virtual ErrorCode InheritAccess(const std::string& path) = 0;
  // GetSecurityInfo through a handle opened as OpenEntry opens it: the access rights (kRight...)
  // that the path's own access list grants anybody but SYSTEM, the administrators and the user
  // running the program; every right when such a one owns it,
  // since an owner may change the list. kErrorAccessDenied for a link or a junction.
  virtual ErrorCode QueryOthersRights(const std::string& path, std::uint32_t* rights) = 0;
  // ConvertSecurityDescriptorToStringSecurityDescriptorA of the path's access list ("D:P(A;...)...").
  virtual ErrorCode QueryAccessText(const std::string& path, std::string* text) = 0;
  // GetFullPathNameA into `buffer` of `size` bytes: the length of the full path, or when it
  // does not fit the size it needs (its zero included); 0 when there is none.
  virtual std::uint32_t FullPathName(const std::string& path, char* buffer, std::uint32_t size) = 0;
  // GetLongPathNameA into `buffer` of `size` bytes: every part of an existing path in its long
  // spelling; returns as FullPathName does.
  virtual std::uint32_t LongPathName(const std::string& path, char* buffer, std::uint32_t size) = 0;
  // CreateFileA with FILE_FLAG_BACKUP_SEMANTICS (no access asked, shared every way; a folder opens
  // too, links are followed) and GetFileInformationByHandle: what `path` names.
  virtual ErrorCode Identify(const std::string& path, FileId* id) = 0;
  // CreateFileA for writing, shared for reading. `handle` receives kInvalidFile on failure.
  virtual ErrorCode CreateFileForWriting(const std::string& path, WriteMode mode, FileHandle* handle) = 0;
  // WriteFile of all the bytes given.
  virtual ErrorCode WriteToFile(FileHandle handle, const std::string& bytes) = 0;
  // FlushFileBuffers: what was written is on the disk.
  virtual ErrorCode FlushFile(FileHandle handle) = 0;
  // CreateFileA of an existing file for reading, shared for reading.
  virtual ErrorCode OpenFileForReading(const std::string& path, FileHandle* handle) = 0;
  // ReadFile of up to `size` bytes; `read` receives how many came, 0 at the end of the file.
  virtual ErrorCode ReadFromFile(FileHandle handle, char* buffer, std::uint32_t size, std::uint32_t* read) = 0;
  // CloseHandle of an open file.
  virtual ErrorCode CloseFile(FileHandle handle) = 0;
  // RemoveDirectoryA: removes an empty folder (a junction itself, never what it points at).
  virtual ErrorCode RemoveFolder(const std::string& path) = 0;

  // CreateFileA of an existing file or folder as it is, never what a link or junction at `path`
  // leads to (FILE_FLAG_OPEN_REPARSE_POINT | FILE_FLAG_BACKUP_SEMANTICS), for reading, deleting and
  // renaming it and for changing its attributes, shared for reading alone (a folder also for
  // writing: what it holds may change): nobody renames, replaces or deletes it while it is open,
  // nor writes to a file.
  virtual ErrorCode OpenEntry(const std::string& path, FileHandle* handle) = 0;
  // GetFinalPathNameByHandleA (VOLUME_NAME_DOS), without its "\\?\" prefix ("\\?\UNC\" becomes
  // "\\"): where the open file or folder really is, whatever links the name went through.
  virtual ErrorCode FinalPathName(FileHandle handle, std::string* path) = 0;
  // GetFileInformationByHandleEx (FileBasicInfo): the attribute word of what is open.
  virtual ErrorCode OpenAttributes(FileHandle handle, std::uint32_t* attributes) = 0;
  // SetFileInformationByHandle (FileDispositionInfo): what is open goes when its handle is closed;
  // a folder must be empty, a read-only file or a running program cannot go.
  virtual ErrorCode DeleteOpened(FileHandle handle) = 0;
  // SetFileInformationByHandle (FileRenameInfo, never replacing): what is open takes the full path
  // `to`, wherever it lies now; kErrorAlreadyExists when `to` names something already. The handle
  // must carry the right to delete, as OpenEntry's does.
  virtual ErrorCode RenameOpened(FileHandle handle, const std::string& to) = 0;
  // SetFileInformationByHandle (FileBasicInfo): what is open loses its read-only mark, its other
  // attributes and its times as they are. The handle must carry the right to write attributes, as
  // OpenEntry's does.
  virtual ErrorCode ClearReadOnlyOpened(FileHandle handle) = 0;
};

// Access rights as QueryOthersRights gives them.
constexpr std::uint32_t kRightDeleteChild = 0x40;  // FILE_DELETE_CHILD
constexpr std::uint32_t kRightDelete = 0x10000;    // DELETE
// Every right that changes a file or folder, what it holds, or who may: writing, appending, its
// extended attributes and attributes, deleting it or what it holds, its access list and owner.
constexpr std::uint32_t kRightsWriting =
    0x2 | 0x4 | 0x10 | kRightDeleteChild | 0x100 | kRightDelete | 0x40000 | 0x80000 | 0x40000000 | 0x10000000;
constexpr std::uint32_t kRightsAll = 0xFFFFFFFFu;

// Own one open listing, or one open file, and close it when they go out of scope.
using ScopedFind = ScopedHandle<ServiceCloser<FileSystem, FindHandle, kInvalidFindHandle, &FileSystem::CloseFind>>;
using ScopedFile = ScopedHandle<ServiceCloser<FileSystem, FileHandle, kInvalidFile, &FileSystem::CloseFile>>;

}  // namespace platform
