// The floor of SetUp.exe's install: CopyFileA over the files of a folder, nothing else.
//   copy_floor SOURCE DESTINATION   exit status: the milliseconds the copies took
#include <windows.h>

#include <string>

int main(int argc, char** argv) {
  if (argc != 3) return -1;
  const std::string source = argv[1];
  const std::string destination = argv[2];
  LARGE_INTEGER frequency, start, end;
  QueryPerformanceFrequency(&frequency);
  QueryPerformanceCounter(&start);
  CreateDirectoryA(destination.c_str(), nullptr);
  WIN32_FIND_DATAA entry;
  const HANDLE listing = FindFirstFileA((source + "\\*.*").c_str(), &entry);
  if (listing == INVALID_HANDLE_VALUE) return -1;
  do {
    if ((entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) continue;
    CopyFileA((source + "\\" + entry.cFileName).c_str(), (destination + "\\" + entry.cFileName).c_str(), FALSE);
  } while (FindNextFileA(listing, &entry));
  FindClose(listing);
  QueryPerformanceCounter(&end);
  return static_cast<int>((end.QuadPart - start.QuadPart) * 1000 / frequency.QuadPart);
}
