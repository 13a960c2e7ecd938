// The contract suite's machine under Wine: the Win32 services, with a scratch folder and key of its
// own.
#pragma once

#include <windows.h>
#include <aclapi.h>
#include <sddl.h>

#include <filesystem>

#include "platform/win32/win32_services.h"

struct Machine : platform::Win32Services {
  Machine() {
    std::error_code ignored;
    std::filesystem::remove_all(scratch, ignored);
    std::filesystem::create_directory(scratch, ignored);
  }
  ~Machine() {
    std::error_code ignored;
    std::filesystem::remove_all(scratch, ignored);
    RegDeleteTreeA(HKEY_CURRENT_USER, scratchKey.c_str());
  }

  // A file's access list as SDDL text.
  static std::string AccessList(const std::string& path) {
    PACL list = nullptr;
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    char* text = nullptr;
    if (GetNamedSecurityInfoA(path.c_str(), SE_FILE_OBJECT, DACL_SECURITY_INFORMATION, nullptr, nullptr, &list, nullptr,
                              &descriptor) == ERROR_SUCCESS) {
      ConvertSecurityDescriptorToStringSecurityDescriptorA(descriptor, SDDL_REVISION_1, DACL_SECURITY_INFORMATION, &text,
                                                           nullptr);
      LocalFree(descriptor);
    }
    const std::string access = text != nullptr ? text : "";
    LocalFree(text);
    return access;
  }

  const std::string scratch = environment.TempFolder() + "vortel-contract-" + std::to_string(GetCurrentProcessId());
  const std::string scratchKey = "Software\\VortelContractTest" + std::to_string(GetCurrentProcessId());
  const bool isWine = GetProcAddress(GetModuleHandleA("ntdll.dll"), "wine_get_version") != nullptr;
};
