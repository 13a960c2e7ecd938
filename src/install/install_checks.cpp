#include "install/install_checks.h"

#include "core/package.h"
#include "deploy/file_utilities.h"
#include "install/install_folder.h"
#include "journal/maintenance.h"
#include "platform/multibyte.h"
#include "platform/paths.h"

namespace install {
namespace {

// The longest installation folder accepted, so that every path formed below it (loader paths,
// copies into the extension library folder) fits the program's 260-byte buffers.
constexpr std::size_t kMaxInstallFolder = 240;

// The root of a full path: "C:\" or "\\server\share\".
std::string RootOf(const std::string& path, platform::LeadByteTest isLeadByte) {
  if (path.rfind("\\\\", 0) != 0) return path.substr(0, 2) + "\\";
  const std::vector<std::string> parts = platform::SplitAtCharacter(path.substr(2), '\\', isLeadByte);
  return parts.size() < 2 ? path : "\\\\" + parts[0] + "\\" + parts[1] + "\\";
}

core::Refusal ChooseFolder(const platform::Services& services, const std::string& typed, std::string* folder) {
  char full[platform::kMaxPath] = {};
  const std::uint32_t length = typed.empty() ? 0 : services.files.FullPathName(typed, full, sizeof full);
  folder->assign(full, length < sizeof full ? length : 0);
  platform::DropTrailingBackslash(*folder, services.isLeadByte);
  // A ';' would split the folder in two where AutoCAD reads its trusted paths, trusting another.
  if (length == 0 || platform::FindByCharacters(*folder, ";", services.isLeadByte) != std::string::npos) {
    return core::Refusal::FolderUnusable;
  }
  if (length >= sizeof full || folder->size() + 1 + sizeof core::kInstallSubFolder - 1 > kMaxInstallFolder) {
    return core::Refusal::FolderTooLong;
  }
  const std::uint32_t root = services.files.GetAttributes(RootOf(*folder, services.isLeadByte));
  if (root == platform::kInvalidFileAttributes) return core::Refusal::DriveMissing;
  return core::Refusal::None;
}

}  // namespace

std::string StartingFolder(const platform::Services& services) {
  const std::optional<std::string> installed = journal::RegisteredInstallFolder(services);
  if (installed && platform::EqualsIgnoringCase(platform::NameOf(*installed, services.isLeadByte),
                                                core::kInstallSubFolder, services.isLeadByte)) {
    if (const auto folder = platform::FolderOf(*installed, services.isLeadByte)) return *folder;
  }
  return core::kDefaultFolder;
}

bool IsOffered(const CAcadInstallInfo& info, int year, int packageBits) {
  return !info.m_arrAcadLocation[acad::ReleaseIndex(year)].empty() &&
         (packageBits != 32 || year < acad::kFirstReleaseOf64BitOnly);
}

std::optional<acad::ReleaseTicks> TicksFor(const CAcadInstallInfo& info, int packageBits,
                                           const std::optional<std::vector<int>>& asked) {
  acad::ReleaseTicks ticks{};
  for (int index = 0; index < acad::kReleaseCount; ++index) {
    ticks[index] = !asked && IsOffered(info, acad::ReleaseYear(index), packageBits) ? 1 : 0;
  }
  for (const int year : asked.value_or(std::vector<int>{})) {
    if (!acad::IsSupportedRelease(year) || !IsOffered(info, year, packageBits)) return std::nullopt;
    ticks[acad::ReleaseIndex(year)] = 1;
  }
  return ticks;
}

core::Refusal CheckInstall(const platform::Services& services, const CAcadInstallInfo& info, int packageBits,
                           const core::RunChoices& choices, bool checkAcad, InstallTarget* target) {
  if (checkAcad && deploy::IsAcadRunning(services)) return core::Refusal::AcadRunning;
  const std::optional<acad::ReleaseTicks> ticks = TicksFor(info, packageBits, choices.releases);
  if (!ticks) return core::Refusal::ReleaseNotOffered;
  if (*ticks == acad::ReleaseTicks{}) return core::Refusal::NoRelease;
  target->ticks = *ticks;
  const core::Refusal chosen =
      ChooseFolder(services, choices.folder.value_or(StartingFolder(services)), &target->folder);
  if (chosen != core::Refusal::None || !services.environment.IsElevated()) return chosen;
  return CheckFolderLevels(services, target->folder, &target->refusedBecause);
}

}  // namespace install
