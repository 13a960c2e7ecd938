// The install run without a window, for deployment tools: the choices the dialog would have
// started with, changed by the command line; no message box, every question answered by itself
// (a file in use is put in place when Windows next starts; any other file that cannot be copied
// ends the install, which is rolled back); every decision logged.
#pragma once

#include "acad/install_info.h"
#include "core/choices.h"
#include "core/endings.h"
#include "core/report.h"
#include "platform/services.h"

namespace install {

core::Ending RunSilentInstall(const platform::Services& services, CAcadInstallInfo& info, int packageBits,
                              const core::RunChoices& choices, core::Report& report);

}  // namespace install
