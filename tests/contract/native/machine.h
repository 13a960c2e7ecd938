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
  // Writes and reads a whole file the way another program would, around the services.
  void Write(const std::string& path, const std::string& contents) { files.AddFile(path, contents); }
  std::string Read(const std::string& path) { return files.Read(path).value_or(""); }
  // A folder's own access list in the security descriptor language; none is kept here.
  std::string AccessList(const std::string&) { return ""; }

  const std::string scratch = "C:\\users\\tester\\Temp\\contract";  // a folder of the test's own
  const bool isWine = false;
};
