// The floor of SetUp.exe's uninstall: each file of a folder read once through and deleted, then the folder.
//   delete_floor FOLDER   exit status: the milliseconds it took
#include <windows.h>

#include <string>
#include <vector>

int main(int argc, char** argv) {
  if (argc != 2) return -1;
  const std::string folder = argv[1];
  LARGE_INTEGER frequency, start, end;
  QueryPerformanceFrequency(&frequency);
  QueryPerformanceCounter(&start);
  std::vector<char> buffer(1024 * 1024);
  WIN32_FIND_DATAA entry;
  const HANDLE listing = FindFirstFileA((folder + "\\*.*").c_str(), &entry);
  if (listing == INVALID_HANDLE_VALUE) return -1;
  do {
    if ((entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) continue;
    const std::string path = folder + "\\" + entry.cFileName;
    const HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                    FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
    DWORD read = 0;
    while (file != INVALID_HANDLE_VALUE && ReadFile(file, buffer.data(), buffer.size(), &read, nullptr) && read > 0) {
    }
    CloseHandle(file);
    DeleteFileA(path.c_str());
  } while (FindNextFileA(listing, &entry));
  FindClose(listing);
  RemoveDirectoryA(folder.c_str());
  QueryPerformanceCounter(&end);
  return static_cast<int>((end.QuadPart - start.QuadPart) * 1000 / frequency.QuadPart);
}
