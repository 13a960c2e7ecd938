// The installation folder an install writes into: made with every missing level above it, and
// writable only by SYSTEM, the administrators and the user who installs, so that nobody else can
// replace a module that every AutoCAD loads, or the journal the uninstall acts on.
#pragma once

#include <string>
#include <vector>

#include "core/report.h"
#include "platform/services.h"

namespace install {

// Makes the chosen folder and every missing level of it, and in it the installation folder with
// the protected access list. A folder that was there already gets that access list too, and so
// does everything in it, where the program has the rights; a journal found in a folder that was
// writable by others is set aside (renamed), not written on.
// The folders made, parents first.
std::vector<std::string> PrepareInstallFolder(const platform::Services& services, const std::string& chosenFolder,
                                              const std::string& installFolder, core::Report& report);

}  // namespace install
