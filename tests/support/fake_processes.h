// A process list set by the test, or a snapshot that cannot be taken (also when a FaultPlan
// fails the call).
#pragma once

#include "platform/processes.h"
#include "support/fault_plan.h"

namespace fakes {

class FakeProcesses final : public platform::Processes {
 public:
  std::vector<std::string> running;  // executable names, in snapshot order
  bool snapshotFails = false;
  FaultPlan* faultPlan = nullptr;

  std::optional<std::vector<std::string>> ExecutableNames() override {
    if (TakeFault(faultPlan, "ExecutableNames") || snapshotFails) return std::nullopt;
    return running;
  }
};

}  // namespace fakes
