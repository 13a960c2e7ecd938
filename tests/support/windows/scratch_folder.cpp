#include "scratch_folder.h"

#include <windows.h>

#include <algorithm>
#include <cstring>

namespace support {

void RemoveTree(const std::string& folder) {
  WIN32_FIND_DATAA data;
  const HANDLE listing = FindFirstFileA((folder + "\\*").c_str(), &data);
  if (listing != INVALID_HANDLE_VALUE) {
    do {
      const std::string name = data.cFileName;
      if (name == "." || name == "..") continue;
      const std::string path = folder + "\\" + name;
      SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
      if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
        RemoveTree(path);
      } else {
        DeleteFileA(path.c_str());
      }
    } while (FindNextFileA(listing, &data));
    FindClose(listing);
  }
  RemoveDirectoryA(folder.c_str());
}

ScratchFolder::ScratchFolder(const std::string& purpose) {
  char temp[MAX_PATH + 1] = {};
  GetTempPathA(sizeof temp, temp);
  m_path = std::string(temp) + "vortel-" + purpose + "-" + std::to_string(GetCurrentProcessId());
  RemoveTree(m_path);
  CreateDirectoryA(m_path.c_str(), nullptr);
}

ScratchFolder::~ScratchFolder() { RemoveTree(m_path); }

std::vector<std::string> SortedNames(const std::string& folder) {
  std::vector<std::string> names;
  WIN32_FIND_DATAA data;
  const HANDLE listing = FindFirstFileA((folder + "\\*").c_str(), &data);
  if (listing == INVALID_HANDLE_VALUE) return names;
  do {
    if (std::strcmp(data.cFileName, ".") != 0 && std::strcmp(data.cFileName, "..") != 0) {
      names.push_back(data.cFileName);
    }
  } while (FindNextFileA(listing, &data));
  FindClose(listing);
  std::sort(names.begin(), names.end());
  return names;
}

bool WriteWholeFile(const std::string& path, const std::string& contents) {
  const HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                  FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  DWORD written = 0;
  const BOOL wrote =
      WriteFile(file, contents.data(), static_cast<DWORD>(contents.size()), &written, nullptr);
  CloseHandle(file);
  return wrote && written == contents.size();
}

std::string ReadWholeFile(const std::string& path) {
  const HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                  OPEN_EXISTING, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return "";
  std::string contents;
  char chunk[4096];
  DWORD read = 0;
  while (ReadFile(file, chunk, sizeof chunk, &read, nullptr) && read > 0) {
    contents.append(chunk, read);
  }
  CloseHandle(file);
  return contents;
}

}  // namespace support
