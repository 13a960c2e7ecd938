// Placing the add-on's files inside AutoCAD's own folders.
#pragma once

#include "acad/install_info.h"
#include "core/questions.h"
#include "core/report.h"

namespace deploy {

// Copies the add-on's fonts (and, for AutoCAD 2008, its plot driver) into the program folder of
// every installation of every ticked release, logging each copy. Failures are silent; a missing
// package is told to `questions` for each folder.
void DeployToAcadFolders(const CAcadInstallInfo& info, const acad::ReleaseTicks& ticks,
                         core::CopyQuestions& questions, core::Report& report);

}  // namespace deploy
