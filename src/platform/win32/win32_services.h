// The real Win32 services, bundled with the services struct the program's logic takes.
#pragma once

#include "platform/services.h"
#include "platform/win32/win32_desktop.h"
#include "platform/win32/win32_environment.h"
#include "platform/win32/win32_file_system.h"
#include "platform/win32/win32_multibyte.h"
#include "platform/win32/win32_processes.h"
#include "platform/win32/win32_registry.h"

namespace platform {

struct Win32Services {
  Win32Registry registry;
  Win32FileSystem files;
  Win32Processes processes;
  Win32Desktop desktop;
  Win32Environment environment;
  Services services{registry, files, processes, desktop, environment, IsSystemLeadByte};
};

}  // namespace platform
