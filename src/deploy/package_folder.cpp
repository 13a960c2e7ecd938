// Where the installation package stands relative to the running program.
#include <array>

#include "deploy/file_utilities.h"

namespace deploy {
namespace {

// The program's path is read into this many bytes, so at most 260 characters.
constexpr std::uint32_t kModulePathBufferSize = 261;

// The folder of the running program, without a trailing backslash; false when its path
// cannot be read whole (a path the buffer cuts short names some other file).
bool ReadProgramFolder(const platform::Services& services, std::string& folder) {
  std::array<char, kModulePathBufferSize> buffer{};
  const std::uint32_t length = services.files.ModuleFileName(buffer.data(), kModulePathBufferSize);
  if (length == 0 || length >= kModulePathBufferSize) return false;
  const std::string path(buffer.data(), length);
  const std::size_t separator = platform::FindLastCharacter(path, '\\', services.isLeadByte);
  if (separator == std::string::npos) return false;
  folder = path.substr(0, separator);
  return true;
}

}  // namespace

bool LocatePackageFolder(const platform::Services& services, core::CopyQuestions& questions,
                         std::string& packageFolder) {
  std::string programFolder;
  if (ReadProgramFolder(services, programFolder)) {
    packageFolder = programFolder + "\\Data";
    if (GetPathKind(services, packageFolder) == PathKind::Folder) return true;
    packageFolder = programFolder + "\\Vortel2010.arx";
    if (GetPathKind(services, packageFolder) == PathKind::File) {
      packageFolder = programFolder;
      return true;
    }
  }
  questions.PackageNotFound();
  return false;
}

}  // namespace deploy
