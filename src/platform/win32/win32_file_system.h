// The file service over the real 8-bit Win32 file calls and the runtime's _mkdir.
#pragma once

#include <memory>

#include "platform/file_system.h"

namespace platform {

// Not final: a test may place the program's own file elsewhere and keep every other call.
class Win32FileSystem : public FileSystem {
 public:
  std::uint32_t ModuleFileName(char* buffer, std::uint32_t size) override;
  ErrorCode FindFirst(const std::string& pattern, FindHandle* handle, FoundEntry* entry) override;
  ErrorCode FindNext(FindHandle handle, FoundEntry* entry) override;
  ErrorCode CloseFind(FindHandle handle) override;
  std::uint32_t GetAttributes(const std::string& path) override;
  ErrorCode SetAttributes(const std::string& path, std::uint32_t attributes) override;
  ErrorCode Copy(const std::string& from, const std::string& to, bool failIfExists) override;
  ErrorCode CopyWithDigest(const std::string& from, const std::string& to, bool failIfExists,
                           FileDigest* digest) override;
  ErrorCode Move(const std::string& from, const std::string& to, std::uint32_t flags) override;
  ErrorCode Delete(const std::string& path) override;
  ErrorCode MakeDirectory(const std::string& path) override;
  ErrorCode MakeProtectedDirectory(const std::string& path) override;
  ErrorCode ProtectFolder(const std::string& path) override;
  ErrorCode InheritAccess(const std::string& path) override;
  ErrorCode QueryOthersRights(const std::string& path, std::uint32_t* rights) override;
  ErrorCode QueryAccessText(const std::string& path, std::string* text) override;
  std::uint32_t FullPathName(const std::string& path, char* buffer, std::uint32_t size) override;
  std::uint32_t LongPathName(const std::string& path, char* buffer, std::uint32_t size) override;
  ErrorCode Identify(const std::string& path, FileId* id) override;
  ErrorCode CreateFileForWriting(const std::string& path, WriteMode mode, FileHandle* handle) override;
  ErrorCode WriteToFile(FileHandle handle, const std::string& bytes) override;
  ErrorCode FlushFile(FileHandle handle) override;
  ErrorCode OpenFileForReading(const std::string& path, FileHandle* handle) override;
  ErrorCode ReadFromFile(FileHandle handle, char* buffer, std::uint32_t size, std::uint32_t* read) override;
  ErrorCode CloseFile(FileHandle handle) override;
  ErrorCode RemoveFolder(const std::string& path) override;
  ErrorCode OpenEntry(const std::string& path, FileHandle* handle) override;
  ErrorCode FinalPathName(FileHandle handle, std::string* path) override;
  ErrorCode OpenAttributes(FileHandle handle, std::uint32_t* attributes) override;
  ErrorCode DeleteOpened(FileHandle handle) override;
  ErrorCode RenameOpened(FileHandle handle, const std::string& to) override;
  ErrorCode ClearReadOnlyOpened(FileHandle handle) override;

 private:
  // The buffer of the copies, made once: every read checks the pages of the buffer it is given,
  // and a fresh buffer for each file would fault them all in again.
  std::unique_ptr<char[]> m_copyBuffer;
};

}  // namespace platform
