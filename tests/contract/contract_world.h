// The services a contract test runs against: the fakes natively, the Win32 ones under Wine.
#pragma once

#include <memory>

#include "platform/registry.h"

namespace contract {

class World {
 public:
  virtual ~World() = default;
  virtual platform::Registry& Registry() = 0;
};

std::unique_ptr<World> MakeWorld();

}  // namespace contract
