#include "install/install_folder.h"

#include "journal/journal.h"
#include "platform/format.h"
#include "platform/paths.h"

namespace install {
namespace {

const char kSetAsideSuffix[] = ".set-aside";

// Everything below `folder` takes the access list its folder passes on; links are not followed.
platform::ErrorCode InheritBelow(const platform::Services& services, const std::string& folder) {
  platform::ScopedFind listing(services.files);
  platform::FoundEntry entry;
  platform::ErrorCode result = services.files.FindFirst(platform::InFolder(folder, "*"), listing.Receive(), &entry);
  for (; result == platform::kErrorSuccess; result = services.files.FindNext(listing.Get(), &entry)) {
    if (entry.name == "." || entry.name == "..") continue;
    const std::string path = platform::InFolder(folder, entry.name);
    platform::ErrorCode inherited = services.files.InheritAccess(path);
    const std::uint32_t kind =
        entry.attributes & (platform::kFileAttributeDirectory | platform::kFileAttributeReparsePoint);
    if (inherited == platform::kErrorSuccess && kind == platform::kFileAttributeDirectory) {
      inherited = InheritBelow(services, path);
    }
    if (inherited != platform::kErrorSuccess) return inherited;
  }
  return result == platform::kErrorNoMoreFiles || result == platform::kErrorFileNotFound ? platform::kErrorSuccess
                                                                                         : result;
}

// A folder that was there already: a journal in it is trusted only when nobody else could have
// written it; then the folder and what it holds get the protected access list.
void SecureExistingFolder(const platform::Services& services, const std::string& installFolder, core::Report& report) {
  bool othersMayWrite = true;
  const platform::ErrorCode queried = services.files.QueryOthersMayWrite(installFolder, &othersMayWrite);
  const std::string journal = platform::InFolder(installFolder, journal::kJournalName);
  if ((queried != platform::kErrorSuccess || othersMayWrite) &&
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

}  // namespace

std::vector<std::string> PrepareInstallFolder(const platform::Services& services, const std::string& chosenFolder,
                                              const std::string& installFolder, core::Report& report) {
  std::vector<std::string> made = platform::MakeFolderLevels(services.files, chosenFolder, services.isLeadByte);
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
