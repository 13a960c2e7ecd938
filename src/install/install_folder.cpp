#include "install/install_folder.h"

#include "core/package.h"
#include "journal/journal.h"
#include "journal/removal.h"
#include "platform/format.h"
#include "platform/paths.h"

namespace install {
namespace {

const char kSetAsideSuffix[] = ".set-aside";

// Hands each entry of `folder` but "." and ".." to `visit` (its path and entry) until it returns
// false. The listing's error, kErrorSuccess at its end.
template <typename Visit>
platform::ErrorCode ForEachEntry(const platform::Services& services, const std::string& folder, Visit visit) {
  platform::ScopedFind listing(services.files);
  platform::FoundEntry entry;
  platform::ErrorCode result = services.files.FindFirst(platform::InFolder(folder, "*"), listing.Receive(), &entry);
  for (; result == platform::kErrorSuccess; result = services.files.FindNext(listing.Get(), &entry)) {
    if ((entry.name != "." && entry.name != "..") && !visit(platform::InFolder(folder, entry.name), entry)) break;
  }
  return result == platform::kErrorNoMoreFiles ? platform::kErrorSuccess : result;
}

// Everything below `folder` takes the access list its folder passes on; links are not followed.
platform::ErrorCode InheritBelow(const platform::Services& services, const std::string& folder) {
  platform::ErrorCode inherited = platform::kErrorSuccess;
  const platform::ErrorCode listed =
      ForEachEntry(services, folder, [&](const std::string& path, const platform::FoundEntry& entry) {
        inherited = services.files.InheritAccess(path);
        const std::uint32_t kind =
            entry.attributes & (platform::kFileAttributeDirectory | platform::kFileAttributeReparsePoint);
        if (inherited == platform::kErrorSuccess && kind == platform::kFileAttributeDirectory) {
          inherited = InheritBelow(services, path);
        }
        return inherited == platform::kErrorSuccess;
      });
  if (inherited != platform::kErrorSuccess) return inherited;
  return listed == platform::kErrorFileNotFound ? platform::kErrorSuccess : listed;
}

// A folder that was there already: a journal in it is trusted only when nobody else could have
// written it; then the folder and what it holds get the protected access list.
void SecureExistingFolder(const platform::Services& services, const std::string& installFolder, core::Report& report) {
  const std::string journal = platform::InFolder(installFolder, journal::kJournalName);
  if (journal::WhyUntrusted(services, installFolder) != nullptr &&
      services.files.GetAttributes(journal) != platform::kInvalidFileAttributes) {
    const platform::ErrorCode moved =
        services.files.Move(journal, journal + kSetAsideSuffix, platform::kMoveReplaceExisting);
    report.Line(moved == platform::kErrorSuccess
                    ? "the journal found there is set aside as " + journal + kSetAsideSuffix +
                          ": others could write in the folder"
                    : platform::FormatText("the journal found there cannot be set aside (error %ld)", moved));
  }
  platform::ErrorCode secured = services.files.ProtectFolder(installFolder);
  if (secured == platform::kErrorSuccess) secured = InheritBelow(services, installFolder);
  report.Line(secured == platform::kErrorSuccess
                  ? installFolder +
                        " was there already: it now has the access list of its own, and so has what it holds"
                  : platform::FormatText("%s was there already: its access list is left as it is (error %ld)",
                                         installFolder.c_str(), secured));
}

// Whether anybody else may rename or replace `level`; also when that cannot be read.
bool OthersMayReplace(const platform::Services& services, const std::string& level, const std::string& parent,
                      bool* throughParent) {
  std::uint32_t own = platform::kRightsAll, above = platform::kRightsAll;
  services.files.QueryOthersRights(level, &own);
  services.files.QueryOthersRights(parent, &above);
  *throughParent = (above & platform::kRightDeleteChild) != 0;
  return *throughParent || (own & platform::kRightDelete) != 0;
}

// Whether `folder` holds nothing but `name`.
bool HoldsOnly(const platform::Services& services, const std::string& folder, const char* name) {
  bool only = true;
  const platform::ErrorCode listed =
      ForEachEntry(services, folder, [&](const std::string&, const platform::FoundEntry& entry) {
        only = platform::EqualsIgnoringCase(entry.name, name, services.isLeadByte);
        return only;
      });
  return only && listed == platform::kErrorSuccess;
}

// The first link or junction found anywhere below `folder` (links are not entered); "" for none.
std::string FirstLinkBelow(const platform::Services& services, const std::string& folder) {
  std::string link;
  ForEachEntry(services, folder, [&](const std::string& path, const platform::FoundEntry& entry) {
    if ((entry.attributes & platform::kFileAttributeReparsePoint) != 0) {
      link = path;
    } else if ((entry.attributes & platform::kFileAttributeDirectory) != 0) {
      link = FirstLinkBelow(services, path);
    }
    return link.empty();
  });
  return link;
}

// The chosen folder that others could rename or replace while it holds nothing but the
// installation folder (left so by an earlier install) is protected now.
void ProtectHolder(const platform::Services& services, const std::string& chosenFolder, core::Report& report) {
  const std::optional<std::string> parent = platform::FolderOf(chosenFolder, services.isLeadByte);
  bool throughParent = false;
  if (!parent || !OthersMayReplace(services, chosenFolder, *parent + "\\", &throughParent) ||
      !HoldsOnly(services, chosenFolder, core::kInstallSubFolder)) {
    return;
  }
  const platform::ErrorCode secured = services.files.ProtectFolder(chosenFolder);
  report.Line(secured == platform::kErrorSuccess
                  ? chosenFolder + " now has the access list of its own: others could rename it"
                  : platform::FormatText("%s keeps its access list (error %ld)", chosenFolder.c_str(), secured));
}

}  // namespace

core::Refusal CheckFolderLevels(const platform::Services& services, const std::string& chosenFolder, std::string* why) {
  const std::string installFolder = platform::InFolder(chosenFolder, core::kInstallSubFolder);
  const std::vector<std::string> parts = platform::SplitAtCharacter(installFolder, '\\', services.isLeadByte);
  const std::size_t first = installFolder.rfind("\\\\", 0) == 0 ? 4 : 1;  // below the drive or the share
  std::string parent;
  for (std::size_t part = 0; part < first && part < parts.size(); ++part) parent += parts[part] + "\\";
  for (std::size_t part = first; part < parts.size(); ++part) {
    const std::string level = parent + parts[part];
    const std::uint32_t attributes = services.files.GetAttributes(level);
    if (attributes == platform::kInvalidFileAttributes) return core::Refusal::None;  // the install makes the rest
    bool throughParent = false;
    const bool replaceable = OthersMayReplace(services, level, parent, &throughParent);
    // The install gives these the protected access list.
    const bool protectedByInstall =
        level == installFolder || (level == chosenFolder && HoldsOnly(services, level, core::kInstallSubFolder));
    if ((attributes & platform::kFileAttributeReparsePoint) != 0) {
      *why = level + " is a link or a junction";
    } else if (throughParent) {
      *why = level + ": others may delete or rename what the folder above it holds";
    } else if (replaceable && !protectedByInstall) {
      *why = level + ": others may delete or rename it";
    } else if (level == installFolder) {
      const std::string link = FirstLinkBelow(services, installFolder);
      if (!link.empty()) *why = installFolder + " was there already and holds a link or a junction: " + link;
    }
    if (!why->empty()) return core::Refusal::FolderOthersMayChange;
    parent = level + "\\";
  }
  return core::Refusal::None;
}

std::vector<std::string> PrepareInstallFolder(const platform::Services& services, const std::string& chosenFolder,
                                              const std::string& installFolder, core::Report& report) {
  ProtectHolder(services, chosenFolder, report);
  std::vector<std::string> made = platform::MakeFolderLevels(services.files, chosenFolder, services.isLeadByte, true);
  const platform::ErrorCode result = services.files.MakeProtectedDirectory(installFolder);
  if (result == platform::kErrorSuccess) {
    made.push_back(installFolder);
    report.Line("made " + installFolder + " with an access list of its own");
  } else if (result == platform::kErrorAlreadyExists) {
    SecureExistingFolder(services, installFolder, report);
  } else {
    report.Line(platform::FormatText("%s not made (error %ld)", installFolder.c_str(), result));
  }
  return made;
}

}  // namespace install
