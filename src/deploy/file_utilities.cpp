#include "deploy/file_utilities.h"

#include <algorithm>
#include <vector>

#include "platform/multibyte.h"

namespace deploy {

PathKind GetPathKind(const platform::Services& services, const std::string& path) {
  platform::ScopedFind find(services.files);
  platform::FoundEntry entry;
  if (services.files.FindFirst(path, find.Receive(), &entry) != platform::kErrorSuccess) {
    return PathKind::Missing;
  }
  return (entry.attributes & platform::kFileAttributeDirectory) != 0 ? PathKind::Folder
                                                                    : PathKind::File;
}

void ClearReadOnly(const platform::Services& services, const std::string& path) {
  const std::uint32_t attributes = services.files.GetAttributes(path);
  if (attributes == platform::kInvalidFileAttributes) return;
  if ((attributes & platform::kFileAttributeReadOnly) == 0) return;
  services.files.SetAttributes(path, attributes & ~platform::kFileAttributeReadOnly);
}

bool RemoveZoneIdentifier(const platform::Services& services, const std::string& path) {
  return services.files.Delete(path + ":Zone.Identifier") == platform::kErrorSuccess;
}

std::vector<std::string> MakeFolderWithParents(const platform::Services& services, const std::string& folder) {
  // The drive ("C:") is no level to make, and neither is a share ("\\\\server\\share").
  const std::vector<std::string> parts = platform::SplitAtCharacter(folder, '\\', services.isLeadByte);
  const std::size_t first = folder.rfind("\\\\", 0) == 0 ? 4 : 1;
  std::vector<std::string> made;
  std::string level;
  for (std::size_t part = 0; part < parts.size(); ++part) {
    level += (part == 0 ? "" : "\\") + parts[part];
    if (part < first || parts[part].empty()) continue;
    const platform::ErrorCode result = services.files.MakeDirectory(level);
    if (result == platform::kErrorSuccess) made.push_back(level);
    if (result != platform::kErrorSuccess && result != platform::kErrorAlreadyExists) break;
  }
  return made;
}

bool IsAcadRunning(const platform::Services& services) {
  const auto names = services.processes.ExecutableNames();
  if (!names) return false;
  return std::any_of(names->begin(), names->end(), [&](std::string name) {
    platform::ToUpperByCharacters(name, services.isLeadByte);
    return platform::FindByCharacters(name, "ACAD.EXE", services.isLeadByte) != std::string::npos;
  });
}

}  // namespace deploy
