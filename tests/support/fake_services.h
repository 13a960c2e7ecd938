// One world of fakes with the services struct the program's logic takes.
#pragma once

#include "platform/multibyte.h"
#include "platform/services.h"
#include "support/fake_desktop.h"
#include "support/fake_registry.h"

namespace fakes {

struct FakeServices {
  FakeRegistry registry;
  FakeDesktop desktop;
  platform::Services services{registry, desktop, platform::IsCp936LeadByte};
};

}  // namespace fakes
