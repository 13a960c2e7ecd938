// The contract suite's machine natively: the in-memory one.
#pragma once

#include "support/world.h"

struct Machine : fakes::World {
  Machine() {
    files.modulePath = "C:\\build\\tests\\contract_tests.exe";
    files.AddFile(files.modulePath, "the program");
    files.AddFolder(scratch);
    processes.running = {"[System Process]", "explorer.exe", "contract_tests.exe"};
  }

  std::string AccessList(const std::string& path) const {
    return files.protectedFolders.count(path) != 0 ? "D:P(A;OICI;FA;;;SY)(A;OICI;0x1200a9;;;BU)" : "D:(A;OICI;FA;;;WD)";
  }

  const std::string scratch = "C:\\users\\tester\\Temp\\contract";  // a folder of the test's own
  const std::string scratchKey = "Software\\VortelContractTest";
  const bool isWine = false;
};
