// The processes the program looks at and starts, shaped like the Win32 calls they stand for.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/win32_types.h"

namespace platform {

class Processes {
 public:
  virtual ~Processes() = default;

  // The executable file name (szExeFile) of every process in a fresh snapshot, in the order
  // the snapshot walks them; nothing when no snapshot could be taken.
  virtual std::optional<std::vector<std::string>> ExecutableNames() = 0;
  // CreateMutexA of a named mutex this process then holds until it ends: kErrorAlreadyExists
  // when another process holds it already.
  virtual ErrorCode HoldNamedMutex(const std::string& name) = 0;
  // The same within a private namespace whose boundary holds the administrators' group
  // (CreateBoundaryDescriptorW, AddSIDToBoundaryDescriptor, CreatePrivateNamespaceW or
  // OpenPrivateNamespaceW, then CreateMutexA): only a process of an administrator or of SYSTEM can
  // make or open it, so no standard user can hold it.
  virtual ErrorCode HoldAdministratorsMutex(const std::string& name) = 0;
  // GetCurrentProcessId.
  virtual std::uint32_t CurrentProcessId() = 0;
  // CreateProcessA of `program` with the command line `"program" arguments`, not waited for.
  virtual ErrorCode StartProgram(const std::string& program, const std::string& arguments) = 0;
  // OpenProcess and WaitForSingleObject: returns once the process has ended (or none has that
  // number), or with kErrorTimeout after `milliseconds`.
  virtual ErrorCode WaitForProcessEnd(std::uint32_t processId, std::uint32_t milliseconds) = 0;
};

}  // namespace platform
