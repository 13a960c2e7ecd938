// The process list from a Tool Help snapshot, walked with the 8-bit entry record.
#pragma once

#include "platform/processes.h"

namespace platform {

class Win32Processes final : public Processes {
 public:
  std::optional<std::vector<std::string>> ExecutableNames() override;
};

}  // namespace platform
