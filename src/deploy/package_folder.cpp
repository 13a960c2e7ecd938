// Where the installation package stands relative to the running program.
#include "deploy/file_utilities.h"
#include "platform/paths.h"

namespace deploy {

bool LocatePackageFolder(const platform::Services& services, core::CopyQuestions& questions,
                         std::string& packageFolder) {
  const std::optional<std::string> program = platform::ProgramPath(services.files);
  const std::optional<std::string> programFolder =
      program ? platform::FolderOf(*program, services.isLeadByte) : std::nullopt;
  if (programFolder) {
    packageFolder = *programFolder + "\\Data";
    if (GetPathKind(services, packageFolder) == PathKind::Folder) return true;
    packageFolder = *programFolder + "\\Vortel2010.arx";
    if (GetPathKind(services, packageFolder) == PathKind::File) {
      packageFolder = *programFolder;
      return true;
    }
  }
  questions.PackageNotFound();
  return false;
}

}  // namespace deploy
