#include "platform/win32/win32_processes.h"

#include <windows.h>
// After windows.h.
#include <sddl.h>
#include <tlhelp32.h>

#include <algorithm>

namespace platform {
namespace {

// The 8-bit entry record whose size the walk announces.
static_assert(sizeof(PROCESSENTRY32) == 296, "the 8-bit PROCESSENTRY32 of a 32-bit build");

}  // namespace

std::optional<std::vector<std::string>> Win32Processes::ExecutableNames() {
  const ScopedFileHandle snapshot({}, CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
  if (!snapshot.IsOpen()) return std::nullopt;
  std::vector<std::string> names;
  PROCESSENTRY32 entry{};
  entry.dwSize = sizeof entry;
  for (BOOL more = Process32First(snapshot.Get(), &entry); more; more = Process32Next(snapshot.Get(), &entry)) {
    // The name fills a fixed field; it is read up to its zero byte or the field's end.
    const char* name = entry.szExeFile;
    names.emplace_back(name, std::find(name, name + sizeof entry.szExeFile, '\0'));
  }
  return names;
}

ErrorCode Win32Processes::HoldNamedMutex(const std::string& name) {
  ScopedKernelHandle mutex({}, CreateMutexA(nullptr, FALSE, name.c_str()));
  const ErrorCode error = GetLastError();
  if (!mutex.IsOpen()) return error;
  if (error == ERROR_ALREADY_EXISTS) return kErrorAlreadyExists;
  m_held.push_back(std::move(mutex));
  return kErrorSuccess;
}

ErrorCode Win32Processes::HoldAdministratorsMutex(const std::string& name) {
  // The wide calls: Wine has only stubs of the 8-bit ones, and its CreateBoundaryDescriptorW fails
  // (so no namespace is made there).
  const wchar_t kPrefix[] = L"VortelAdministrators";
  if (m_namespace == nullptr) {
    BYTE administrators[SECURITY_MAX_SID_SIZE] = {};
    DWORD size = sizeof administrators;
    // Wine's stub fails without an error of its own: what an earlier call left (a log file made
    // anew leaves "already exists") must not be taken for another run's guard.
    SetLastError(ERROR_SUCCESS);
    const HANDLE boundary = CreateBoundaryDescriptorW(kPrefix, 0);
    if (boundary == nullptr) return GetLastError() != ERROR_SUCCESS ? GetLastError() : ERROR_CALL_NOT_IMPLEMENTED;
    ErrorCode made = Outcome(CreateWellKnownSid(WinBuiltinAdministratorsSid, nullptr, administrators, &size) &&
                             AddSIDToBoundaryDescriptor(const_cast<HANDLE*>(&boundary), administrators));
    // The namespace itself may be opened by the administrators and SYSTEM alone.
    ScopedLocal<PSECURITY_DESCRIPTOR> descriptor;
    if (made == kErrorSuccess)
      made = Outcome(ConvertStringSecurityDescriptorToSecurityDescriptorA(
          "D:P(A;;GA;;;BA)(A;;GA;;;SY)", SDDL_REVISION_1, descriptor.Receive(), nullptr));
    SECURITY_ATTRIBUTES security{sizeof security, descriptor.Get(), FALSE};
    if (made == kErrorSuccess) {
      m_namespace = CreatePrivateNamespaceW(&security, boundary, kPrefix);
      if (m_namespace == nullptr && GetLastError() == ERROR_ALREADY_EXISTS)
        m_namespace = OpenPrivateNamespaceW(boundary, kPrefix);
      made = m_namespace != nullptr ? kErrorSuccess : GetLastError();
    }
    DeleteBoundaryDescriptor(boundary);
    if (made != kErrorSuccess) return made;
  }
  return HoldNamedMutex("VortelAdministrators\\" + name);
}

std::uint32_t Win32Processes::CurrentProcessId() { return GetCurrentProcessId(); }

ErrorCode Win32Processes::StartProgram(const std::string& program, const std::string& arguments) {
  std::string commandLine = "\"" + program + "\" " + arguments;
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION started{};
  if (!CreateProcessA(program.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                      &started)) {
    return GetLastError();
  }
  const ScopedKernelHandle thread({}, started.hThread), process({}, started.hProcess);
  return kErrorSuccess;
}

ErrorCode Win32Processes::WaitForProcessEnd(std::uint32_t processId, std::uint32_t milliseconds) {
  const ScopedKernelHandle process({}, OpenProcess(SYNCHRONIZE, FALSE, processId));
  if (!process.IsOpen()) return GetLastError() == ERROR_INVALID_PARAMETER ? kErrorSuccess : GetLastError();
  const DWORD waited = WaitForSingleObject(process.Get(), milliseconds);
  return waited == WAIT_OBJECT_0 ? kErrorSuccess : waited == WAIT_TIMEOUT ? kErrorTimeout : GetLastError();
}

}  // namespace platform
