// The contract suite's machine under Wine: the Win32 services, with a scratch folder.
#pragma once

#include <windows.h>
#include <sddl.h>

#include <vector>

#include "platform/win32/win32_services.h"

// Empties and removes a folder, read-only files included.
inline void RemoveTree(const std::string& folder) {
  WIN32_FIND_DATAA entry;
  const HANDLE listing = FindFirstFileA((folder + "\\*").c_str(), &entry);
  for (BOOL more = listing != INVALID_HANDLE_VALUE; more; more = FindNextFileA(listing, &entry)) {
    const std::string name = entry.cFileName, path = folder + "\\" + name;
    if (name == "." || name == "..") continue;
    SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
      RemoveTree(path);
    } else {
      DeleteFileA(path.c_str());
    }
  }
  if (listing != INVALID_HANDLE_VALUE) FindClose(listing);
  RemoveDirectoryA(folder.c_str());
}

struct Machine : platform::Win32Services {
  Machine() {
    RemoveTree(scratch);
    CreateDirectoryA(scratch.c_str(), nullptr);
  }
  ~Machine() { RemoveTree(scratch); }
  // Writes and reads a whole file the way another program would, around the services.
  void Write(const std::string& path, const std::string& contents) {
    const HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    DWORD written = 0;
    WriteFile(file, contents.data(), static_cast<DWORD>(contents.size()), &written, nullptr);
    CloseHandle(file);
  }
  std::string Read(const std::string& path) {
    const HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    char contents[4096] = {};
    DWORD read = 0;
    ReadFile(file, contents, sizeof contents, &read, nullptr);
    CloseHandle(file);
    return std::string(contents, read);
  }
  // A folder's access list in the security descriptor language, as the file system keeps it.
  std::string AccessList(const std::string& path) {
    DWORD size = 0;
    GetFileSecurityA(path.c_str(), DACL_SECURITY_INFORMATION, nullptr, 0, &size);
    std::vector<BYTE> descriptor(size);
    char* text = nullptr;
    if (size == 0 || !GetFileSecurityA(path.c_str(), DACL_SECURITY_INFORMATION, descriptor.data(), size, &size) ||
        !ConvertSecurityDescriptorToStringSecurityDescriptorA(descriptor.data(), SDDL_REVISION_1, DACL_SECURITY_INFORMATION,
                                                              &text, nullptr)) {
      return "";
    }
    const std::string list = text;
    LocalFree(text);
    return list;
  }

  const std::string scratch = TempFolder() + "vortel-contract-" + std::to_string(GetCurrentProcessId());
  const bool isWine = GetProcAddress(GetModuleHandleA("ntdll.dll"), "wine_get_version") != nullptr;

 private:
  static std::string TempFolder() {
    char temp[MAX_PATH + 1] = {};
    GetTempPathA(sizeof temp, temp);
    return temp;
  }
};
