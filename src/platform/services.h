// The platform services the program's logic runs on. The Windows program builds one set over
// the real Win32 calls; a test builds its own over in-memory fakes.
#pragma once

#include "platform/desktop.h"
#include "platform/environment.h"
#include "platform/file_system.h"
#include "platform/multibyte.h"
#include "platform/processes.h"
#include "platform/registry.h"

namespace platform {

struct Services {
  Registry& registry;
  FileSystem& files;
  Processes& processes;
  Desktop& desktop;
  Environment& environment;
  LeadByteTest isLeadByte;
};

}  // namespace platform
