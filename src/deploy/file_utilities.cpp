#include "deploy/file_utilities.h"

#include <algorithm>

#include "platform/multibyte.h"

namespace deploy {

PathKind GetPathKind(const platform::Services& services, const std::string& path) {
  platform::ScopedFind find(services.files);
  platform::FoundEntry entry;
  if (services.files.FindFirst(path, find.Receive(), &entry) != platform::kErrorSuccess) {
    return PathKind::Missing;
  }
  return (entry.attributes & platform::kFileAttributeDirectory) != 0 ? PathKind::Folder : PathKind::File;
}

void ClearReadOnly(const platform::Services& services, const std::string& path) {
  const std::uint32_t attributes = services.files.GetAttributes(path);
  if (!platform::HasAttribute(attributes, platform::kFileAttributeReadOnly)) return;
  services.files.SetAttributes(path, attributes & ~platform::kFileAttributeReadOnly);
}

bool RemoveZoneIdentifier(const platform::Services& services, const std::string& path) {
  return services.files.Delete(path + ":Zone.Identifier") == platform::kErrorSuccess;
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
