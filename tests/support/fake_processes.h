// A process list set by the test, or a snapshot that cannot be taken.
#pragma once

#include "platform/processes.h"

namespace fakes {

class FakeProcesses final : public platform::Processes {
 public:
  std::vector<std::string> running;  // executable names, in snapshot order
  bool snapshotFails = false;

  std::optional<std::vector<std::string>> ExecutableNames() override {
    if (snapshotFails) return std::nullopt;
    return running;
  }
};

}  // namespace fakes
