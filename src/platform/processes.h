// The process list, as a Tool Help snapshot of the running processes shows it.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace platform {

class Processes {
 public:
  virtual ~Processes() = default;

  // The executable file name (szExeFile) of every process in a fresh snapshot, in the order
  // the snapshot walks them; nothing when no snapshot could be taken.
  virtual std::optional<std::vector<std::string>> ExecutableNames() = 0;
};

}  // namespace platform
