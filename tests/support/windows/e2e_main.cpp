// The Windows-side end-to-end suite, run under Wine:  e2e_tests PATH-OF-SetUp.exe
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdio>

#include "e2e_main.h"
#include "setup_window.h"

namespace e2e {
namespace {
std::string g_setupProgram;
}  // namespace

const std::string& SetupProgram() { return g_setupProgram; }

std::string IdleProgram() {
  char path[MAX_PATH + 1] = {};
  const DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
  std::string folder(path, length < MAX_PATH ? length : 0);
  folder.erase(folder.find_last_of('\\') + 1);
  return folder + "idle_program.exe";
}

}  // namespace e2e

int main(int argc, char** argv) {
  testing::InitGoogleTest(&argc, argv);
  if (argc != 2) {
    std::fprintf(stderr, "usage: e2e_tests PATH-OF-SetUp.exe\n");
    return 2;
  }
  e2e::g_setupProgram = e2e::ToWindowsPath(argv[1]);
  return RUN_ALL_TESTS();
}
