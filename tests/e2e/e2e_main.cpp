// The Windows-side end-to-end suite, run under Wine:  e2e_tests PATH-OF-SetUp.exe
#include <gtest/gtest.h>

#include <cstdio>

#include "e2e_main.h"
#include "setup_window.h"

namespace e2e {
namespace {
std::string g_setupProgram;
}  // namespace

const std::string& SetupProgram() { return g_setupProgram; }

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
