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

bool MakeFolderWithParents(const platform::Services& services, const std::string& folder) {
  // Each level ends at a separator (found by characters), the last at the end of the path.
  std::vector<std::size_t> ends;
  for (std::size_t at = platform::FindByCharacters(folder, "\\", services.isLeadByte); at != std::string::npos;) {
    ends.push_back(at);
    const std::size_t next = platform::FindByCharacters(folder.substr(at + 1), "\\", services.isLeadByte);
    at = next == std::string::npos ? next : at + 1 + next;
  }
  ends.push_back(folder.size());
  // The drive ("C:") is no level to make, and neither is a share ("\\server\share").
  const std::size_t shareLevels = folder.rfind("\\\\", 0) == 0 ? 4 : 0;
  for (std::size_t level = shareLevels; level < ends.size(); ++level) {
    const std::string path = folder.substr(0, ends[level]);
    if (path.empty() || path.back() == ':') continue;
    const platform::ErrorCode made = services.files.MakeDirectory(path);
    if (made != platform::kErrorSuccess && made != platform::kErrorAlreadyExists) return false;
  }
  return true;
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
