// The small file and process operations the deployment rests on: finding the installation
// package beside the running program, classifying paths, clearing the read-only attribute,
// removing the internet zone mark, and telling whether AutoCAD runs.
#pragma once

#include <string>

#include "core/questions.h"
#include "platform/services.h"

namespace deploy {

enum class PathKind { Missing = 0, File = 1, Folder = 2 };

// What a file is written as in its own folder before it is moved into place, and what a file the
// install replaces is kept as until the run is over: both named in the journal first, so that what
// a killed run leaves is removed by the next install or the uninstall.
inline constexpr char kPartialSuffix[] = ".vortel-partial";
inline constexpr char kReplacedSuffix[] = ".vortel-previous";

// Finds the package folder: the folder "Data" beside the running program, or else the
// program's own folder when the marker file "Vortel2010.arx" stands beside it. On failure
// `questions` is told, false is returned and `packageFolder` must not be used. Called afresh
// by each user of the package folder.
bool LocatePackageFolder(const platform::Services& services, core::CopyQuestions& questions,
                         std::string& packageFolder);

// What `path` names, looked up literally (no wildcards).
PathKind GetPathKind(const platform::Services& services, const std::string& path);

// Clears the read-only attribute and keeps every other one; a missing path is left alone.
void ClearReadOnly(const platform::Services& services, const std::string& path);

// Deletes the "Zone.Identifier" stream of a file; true when there was one to delete.
bool RemoveZoneIdentifier(const platform::Services& services, const std::string& path);

// Whether a running process's executable name contains "acad.exe", in any mix of capitals.
// A snapshot that cannot be taken counts as AutoCAD not running.
bool IsAcadRunning(const platform::Services& services);

}  // namespace deploy
