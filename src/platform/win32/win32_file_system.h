// The file service over the real 8-bit Win32 file calls and the runtime's _mkdir.
#pragma once

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
  ErrorCode Delete(const std::string& path) override;
  ErrorCode MakeDirectory(const std::string& path) override;
  ErrorCode MakeProtectedDirectory(const std::string& path) override;
  std::uint32_t FullPathName(const std::string& path, char* buffer, std::uint32_t size) override;
  ErrorCode CreateFileForWriting(const std::string& path, bool mustBeNew, FileHandle* handle) override;
  ErrorCode WriteToFile(FileHandle handle, const std::string& bytes) override;
  ErrorCode CloseFile(FileHandle handle) override;
  ErrorCode ReadWholeFile(const std::string& path, std::size_t limit, std::string* contents) override;
  ErrorCode RemoveFolder(const std::string& path) override;
  ErrorCode DeleteAtRestart(const std::string& path) override;
};

}  // namespace platform
