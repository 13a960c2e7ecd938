// Times SetUp.exe against its floors under Wine, the runs of the two alternated, and prints
// the medians and their ratio.
//   measure_setup start SETUP FLOOR_DIALOG RUNS
//       from the process's start to its dialog being visible
//   measure_setup install SETUP COPY_FLOOR WORK RUNS
//       from the install click to the closing message, against CopyFileA over the same files
//       (SETUP stands beside the package's Data folder; WORK is a folder for the runs), each run
//       on a machine where the add-on is not installed
//   measure_setup silent SETUP COPY_FLOOR WORK RUNS
//       the whole process "SETUP /S /D=folder", from its start to its exit, against the process
//       of COPY_FLOOR over the same files, each run into a new folder of a machine where the
//       add-on is not installed (SETUP /UNINSTALL /S before each run, not timed)
//   measure_setup uninstall SETUP COPY_FLOOR DELETE_FLOOR WORK RUNS
//       the whole process "SETUP /UNINSTALL /S" after a silent install (not timed), against the
//       process of DELETE_FLOOR over a copy of the same files (made by COPY_FLOOR, not timed)
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

constexpr int kInstallButton = 1022;
constexpr int kFolderEdit = 1000;

class Stopwatch {
 public:
  Stopwatch() {
    QueryPerformanceFrequency(&m_frequency);
    QueryPerformanceCounter(&m_start);
  }
  double Milliseconds() const {
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    return static_cast<double>(now.QuadPart - m_start.QuadPart) * 1000.0 / m_frequency.QuadPart;
  }

 private:
  LARGE_INTEGER m_frequency, m_start;
};

class Process {
 public:
  explicit Process(std::string commandLine) {
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    if (!CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &m_info)) {
      m_info = PROCESS_INFORMATION{};
    }
  }
  ~Process() {
    if (m_info.hProcess == nullptr) return;
    if (WaitForSingleObject(m_info.hProcess, 30000) != WAIT_OBJECT_0) TerminateProcess(m_info.hProcess, 1);
    CloseHandle(m_info.hThread);
    CloseHandle(m_info.hProcess);
  }
  Process(const Process&) = delete;
  Process& operator=(const Process&) = delete;

  DWORD Id() const { return m_info.dwProcessId; }
  DWORD ExitCode() const {
    DWORD code = 0;
    WaitForSingleObject(m_info.hProcess, INFINITE);
    GetExitCodeProcess(m_info.hProcess, &code);
    return code;
  }

 private:
  PROCESS_INFORMATION m_info{};
};

template <typename Find>
HWND PollFor(Find find) {
  for (int waited = 0; waited < 60000; ++waited) {
    if (const HWND window = find()) return window;
    Sleep(1);
  }
  std::fprintf(stderr, "measure_setup: the window did not come\n");
  std::exit(1);
}

// The visible setup dialog ("V-结构工具箱安装" in GBK) of the process, or null.
HWND VisibleDialogOf(DWORD processId) {
  for (HWND window = GetTopWindow(nullptr); window != nullptr; window = GetWindow(window, GW_HWNDNEXT)) {
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    char caption[64] = {};
    GetWindowTextA(window, caption, sizeof caption);
    if (owner == processId && IsWindowVisible(window) &&
        std::strcmp(caption, "V-\xBD\xE1\xB9\xB9\xB9\xA4\xBE\xDF\xCF\xE4\xB0\xB2\xD7\xB0") == 0) {
      return window;
    }
  }
  return nullptr;
}

// A visible top-level window owned by `owner` (the closing message), or null.
HWND OwnedWindowOf(HWND owner) {
  for (HWND window = GetTopWindow(nullptr); window != nullptr; window = GetWindow(window, GW_HWNDNEXT)) {
    if (GetWindow(window, GW_OWNER) == owner && IsWindowVisible(window)) return window;
  }
  return nullptr;
}

// Deletes a floor's copies (not timed), so that its runs, like SetUp.exe's that the uninstall
// before each one cleans up, do not pile written pages up until the kernel holds the writer back.
void RemoveCopies(const std::string& folder) {
  WIN32_FIND_DATAA entry;
  const HANDLE listing = FindFirstFileA((folder + "\\*.*").c_str(), &entry);
  if (listing == INVALID_HANDLE_VALUE) return;
  do {
    DeleteFileA((folder + "\\" + entry.cFileName).c_str());
  } while (FindNextFileA(listing, &entry));
  FindClose(listing);
  RemoveDirectoryA(folder.c_str());
}

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values[values.size() / 2];
}

void Report(const char* what, const std::vector<double>& program, const std::vector<double>& floor) {
  std::printf("%s: SetUp.exe %.1f ms, floor %.1f ms, ratio %.2f (medians of %zu runs each)\n", what, Median(program),
              Median(floor), Median(program) / Median(floor), program.size());
}

double TimeToDialog(const std::string& program) {
  const Stopwatch watch;
  const Process process("\"" + program + "\"");
  const HWND dialog = PollFor([&] { return VisibleDialogOf(process.Id()); });
  const double elapsed = watch.Milliseconds();
  PostMessageA(dialog, WM_CLOSE, 0, 0);
  return elapsed;
}

void SeedOneAutoCad(const std::string& work) {
  CreateDirectoryA(work.c_str(), nullptr);
  const std::string folder = work + "\\acad";
  CreateDirectoryA(folder.c_str(), nullptr);
  CreateDirectoryA((folder + "\\Fonts").c_str(), nullptr);
  HKEY key = nullptr;
  if (RegCreateKeyA(HKEY_LOCAL_MACHINE, "SOFTWARE\\Autodesk\\AutoCAD\\R20.1\\ACAD-F001:804", &key) != ERROR_SUCCESS)
    return;
  RegSetValueExA(key, "AcadLocation", 0, REG_SZ, reinterpret_cast<const BYTE*>(folder.c_str()), folder.size() + 1);
  const char name[] = "AutoCAD 2016";
  RegSetValueExA(key, "ProductName", 0, REG_SZ, reinterpret_cast<const BYTE*>(name), sizeof name);
  RegCloseKey(key);
}

// From the process's start to its exit; `exitCode` receives its exit status (-1: it did not start).
double TimeProcess(const std::string& commandLine, long* exitCode) {
  const Stopwatch watch;
  const Process process(commandLine);
  *exitCode = process.Id() == 0 ? -1 : static_cast<long>(process.ExitCode());
  return watch.Milliseconds();
}

// A run of SetUp.exe timed so; a warning when it did not finish with exit code 0.
double TimeSetUp(const std::string& commandLine, int run) {
  long exitCode = 0;
  const double elapsed = TimeProcess(commandLine, &exitCode);
  if (exitCode != 0)
    std::printf("warning: %s ended with exit code %ld in run %d\n", commandLine.c_str(), exitCode, run);
  return elapsed;
}

std::string DataBeside(const std::string& setup) { return setup.substr(0, setup.find_last_of('\\')) + "\\Data"; }

// The copy floor's command line: the package beside `setup` copied into `copies`.
std::string CopyFloorCommand(const std::string& copyFloor, const std::string& setup, const std::string& copies) {
  return "\"" + copyFloor + "\" \"" + DataBeside(setup) + "\" \"" + copies + "\"";
}

double TimeInstall(const std::string& program, const std::string& folder) {
  const Process process("\"" + program + "\"");
  const HWND dialog = PollFor([&] { return VisibleDialogOf(process.Id()); });
  SendMessageA(GetDlgItem(dialog, kFolderEdit), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(folder.c_str()));
  const Stopwatch watch;
  PostMessageA(GetDlgItem(dialog, kInstallButton), BM_CLICK, 0, 0);
  const HWND closingBox = PollFor([&] { return OwnedWindowOf(dialog); });
  const double elapsed = watch.Milliseconds();
  PostMessageA(closingBox, WM_COMMAND, IDOK, 0);
  return elapsed;
}

}  // namespace

int main(int argc, char** argv) {
  const std::string verb = argc > 1 ? argv[1] : "";
  if (verb == "start" && argc == 5) {
    std::vector<double> program, floor;
    for (int run = 0; run < std::atoi(argv[4]); ++run) {
      program.push_back(TimeToDialog(argv[2]));
      floor.push_back(TimeToDialog(argv[3]));
    }
    Report("start to dialog", program, floor);
    return 0;
  }
  if (verb == "install" && argc == 6) {
    const std::string setup = argv[2];
    const std::string work = argv[4];
    SeedOneAutoCad(work);
    std::vector<double> program, floor;
    for (int run = 0; run < std::atoi(argv[5]); ++run) {
      long exitCode = 0;
      TimeProcess("\"" + setup + "\" /UNINSTALL /S", &exitCode);  // not timed: see the silent runs
      program.push_back(TimeInstall(setup, work + "\\setup" + std::to_string(run)));
      const std::string copies = work + "\\floor" + std::to_string(run);
      floor.push_back(static_cast<double>(Process(CopyFloorCommand(argv[3], setup, copies)).ExitCode()));
      RemoveCopies(copies);
    }
    Report("install", program, floor);
    return 0;
  }
  if (verb == "silent" && argc == 6) {
    const std::string setup = argv[2];
    const std::string work = argv[4];
    SeedOneAutoCad(work);
    std::vector<double> program, floor;
    for (int run = 0; run < std::atoi(argv[5]); ++run) {
      // Otherwise the run would replace the installation of the run before, and remove it.
      long exitCode = 0;
      TimeProcess("\"" + setup + "\" /UNINSTALL /S", &exitCode);
      program.push_back(TimeSetUp("\"" + setup + "\" /S /D=" + work + "\\s" + std::to_string(run), run));
      const std::string copies = work + "\\sfloor" + std::to_string(run);
      floor.push_back(TimeProcess(CopyFloorCommand(argv[3], setup, copies), &exitCode));
      RemoveCopies(copies);
    }
    Report("silent install", program, floor);
    return 0;
  }
  if (verb == "uninstall" && argc == 7) {
    const std::string setup = argv[2];
    const std::string work = argv[5];
    SeedOneAutoCad(work);
    std::vector<double> program, floor;
    for (int run = 0; run < std::atoi(argv[6]); ++run) {
      long exitCode = 0;
      TimeSetUp("\"" + setup + "\" /S /D=" + work + "\\u" + std::to_string(run), run);
      program.push_back(TimeSetUp("\"" + setup + "\" /UNINSTALL /S", run));
      const std::string copies = work + "\\ufloor" + std::to_string(run);
      TimeProcess(CopyFloorCommand(argv[3], setup, copies), &exitCode);
      floor.push_back(TimeProcess("\"" + std::string(argv[4]) + "\" \"" + copies + "\"", &exitCode));
    }
    Report("silent uninstall", program, floor);
    return 0;
  }
  std::fprintf(stderr,
               "usage: measure_setup start SETUP FLOOR RUNS | install SETUP COPY_FLOOR WORK RUNS | "
               "silent SETUP COPY_FLOOR WORK RUNS | uninstall SETUP COPY_FLOOR DELETE_FLOOR WORK RUNS\n");
  return 2;
}
