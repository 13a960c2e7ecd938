// The contract suite's machine under Wine: the Win32 services, with a scratch folder and key of its
// own.
#pragma once

#include <windows.h>

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

  const std::string scratch = environment.TempFolder() + "vortel-contract-" + std::to_string(GetCurrentProcessId());
  const std::string scratchKey = "Software\\VortelContractTest" + std::to_string(GetCurrentProcessId());
  const bool isWine = GetProcAddress(GetModuleHandleA("ntdll.dll"), "wine_get_version") != nullptr;
};
