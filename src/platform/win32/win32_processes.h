// The processes over the real Win32 calls: a Tool Help snapshot walked with the 8-bit entry
// record, named mutexes held for the process's life, and programs started and waited for.
#pragma once

#include <vector>

#include "platform/processes.h"
#include "platform/win32/win32_handles.h"

namespace platform {

class Win32Processes final : public Processes {
 public:
  std::optional<std::vector<std::string>> ExecutableNames() override;
  ErrorCode HoldNamedMutex(const std::string& name) override;
  ErrorCode HoldAdministratorsMutex(const std::string& name) override;
  std::uint32_t CurrentProcessId() override;
  ErrorCode StartProgram(const std::string& program, const std::string& arguments) override;
  ErrorCode WaitForProcessEnd(std::uint32_t processId, std::uint32_t milliseconds) override;

 private:
  std::vector<ScopedKernelHandle> m_held;  // the mutexes held, until the process ends
  HANDLE m_namespace = nullptr;            // the administrators' private namespace, open for the process's life
};

}  // namespace platform
