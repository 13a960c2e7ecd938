// One in-memory machine for the program's logic: its registry, files, processes and desktop
// sharing one fault mechanism, bundled as the services the program takes.
#pragma once

#include "platform/services.h"
#include "support/fake_desktop.h"
#include "support/fake_files.h"
#include "support/fake_registry.h"

namespace fakes {

struct World {
  Faults faults;
  FakeRegistry registry{faults};
  FakeFiles files{faults};
  FakeProcesses processes{faults};
  FakeDesktop desktop{faults};
  platform::Services services{registry, files, processes, desktop, platform::IsCp936LeadByte};

  // Every registry key and listing opened was closed, every picked item freed once.
  bool AllReleased() const {
    return registry.OpenHandles() == 0 && files.OpenFinds() == 0 && desktop.liveItems.empty() &&
           desktop.badFrees == 0;
  }
};

}  // namespace fakes
