// One world of fakes with the services struct the program's logic takes.
#pragma once

#include "platform/multibyte.h"
#include "platform/services.h"
#include "support/fake_desktop.h"
#include "support/fake_file_system.h"
#include "support/fake_processes.h"
#include "support/fake_registry.h"

namespace fakes {

struct FakeServices {
  FakeRegistry registry;
  FakeFileSystem files;
  FakeProcesses processes;
  FakeDesktop desktop;
  platform::Services services{registry, files, processes, desktop, platform::IsCp936LeadByte};
};

}  // namespace fakes
