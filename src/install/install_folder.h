// The installation folder an install writes into: made with every missing level above it, and
// writable only by SYSTEM, the administrators and the user who installs, so that nobody else can
// replace a module that every AutoCAD loads, or the journal the uninstall acts on.
#pragma once

#include <string>
#include <vector>

#include "core/endings.h"
#include "core/report.h"
#include "platform/services.h"

namespace install {

// Makes the chosen folder and every missing level of it, and in it the installation folder with
// the protected access list. A folder that was there already gets that access list too, and so
// does everything in it, where the program has the rights; a journal found in a folder that was
// writable by others is set aside (renamed), not written on.
// Every level made gets the protected access list, and so does an existing chosen folder that
// others could rename or replace but that holds nothing but the installation folder.
// The folders made, parents first.
std::vector<std::string> PrepareInstallFolder(const platform::Services& services, const std::string& chosenFolder,
                                              const std::string& installFolder, core::Report& report);

// Whether a per-machine install may go into `chosenFolder`: no level of it or of its installation
// folder that is there already may be renamed or replaced by anybody but SYSTEM and the
// administrators (the delete right on the level, or the delete-child right on the one above), save
// the chosen folder itself when it holds nothing but the installation folder (it is protected by
// the install), and an installation folder that is there already holds no link or junction. `why`
// names the level and what is wrong.
core::Refusal CheckFolderLevels(const platform::Services& services, const std::string& chosenFolder, std::string* why);

}  // namespace install
