#include "deploy/acad_folders.h"

#include "deploy/file_utilities.h"
#include "platform/format.h"
#include "platform/paths.h"

using platform::InFolder;

namespace {

constexpr int kAcad2008Index = 1;
// The package's plot driver, placed as AutoCAD's "pdfplot9.hdi".
const char kDriverSource[] = "Vortel.prt5";
// The Fonts and Drv folder paths are held in buffers of 260 bytes.
constexpr std::size_t kMaxFolderPath = platform::kMaxPath - 1;

// One AutoCAD folder being served: where the package is, and what is told.
struct Placing {
  const platform::Services& services;
  const std::string& package;
  core::Report& report;
};

// Copies a file of the package to `target`, under a temporary name beside it first (named in the
// journal), and reports it with what it replaced, if anything.
platform::ErrorCode Place(const Placing& placing, const char* source, const std::string& target,
                          const std::string& kept = "", const platform::FileDigest& keptDigest = {}) {
  platform::FileSystem& files = placing.services.files;
  const std::string partial = target + deploy::kPartialSuffix;
  placing.report.Done(core::Effect{core::EffectKind::TemporaryFile, {partial}});
  platform::FileDigest digest;
  platform::ErrorCode copied = files.CopyWithDigest(InFolder(placing.package, source), partial, false, &digest);
  const core::Effect line =
      kept.empty() ? core::Effect{core::EffectKind::FilePlaced, {target, platform::DigestText(digest)}}
                   : core::Effect{core::EffectKind::FileReplaced,
                                  {target, platform::DigestText(digest), kept, platform::DigestText(keptDigest)}};
  if (copied == platform::kErrorSuccess) {
    placing.report.Done(line);
    copied = files.Move(partial, target, platform::kMoveReplaceExisting);
    if (copied != platform::kErrorSuccess) placing.report.Undone(line);
  }
  if (copied != platform::kErrorSuccess) {
    files.Delete(partial);
    placing.report.Line(platform::FormatText("not placed %s (error %ld)", target.c_str(), copied));
    return copied;
  }
  placing.report.Line("placed " + target);
  return platform::kErrorSuccess;
}

// Places the driver: over nothing; over the add-on's own driver, with the original an earlier
// install kept (if any); or over AutoCAD's driver, once that is kept beside it. A copy kept before
// is never written over, whatever any journal says: it is taken as AutoCAD's own.
platform::ErrorCode PlaceDriver(const Placing& placing, const std::string& drivers,
                                const deploy::PlacedEarlier& placedEarlier) {
  platform::FileSystem& files = placing.services.files;
  const std::string driver = InFolder(drivers, deploy::kPlotDriverName), kept = driver + deploy::kOriginalSuffix;
  platform::FileDigest present, ours, original;
  const platform::ErrorCode read = platform::DigestFile(files, driver, &present);
  if (read == platform::kErrorFileNotFound) return Place(placing, kDriverSource, driver);
  const bool keptBefore = platform::DigestFile(files, kept, &original) == platform::kErrorSuccess;
  const bool own =
      read == platform::kErrorSuccess &&
      ((platform::DigestFile(files, InFolder(placing.package, kDriverSource), &ours) == platform::kErrorSuccess &&
        present == ours) ||
       placedEarlier(driver, present));
  if (keptBefore) {
    if (!own) placing.report.Line("a copy kept before stays as AutoCAD's own: " + kept);
    return Place(placing, kDriverSource, driver, kept, original);
  }
  if (own) return Place(placing, kDriverSource, driver);
  platform::ErrorCode keeping = read;
  if (keeping == platform::kErrorSuccess) keeping = files.Copy(driver, kept, true);
  if (keeping == platform::kErrorSuccess) keeping = platform::DigestFile(files, kept, &original);
  if (keeping == platform::kErrorSuccess && original != present) keeping = platform::kErrorInvalidHandle;
  if (keeping != platform::kErrorSuccess) {
    placing.report.Line(
        platform::FormatText("what %s held was not kept (error %ld), so it is not replaced", driver.c_str(), keeping));
    return keeping;
  }
  placing.report.Line("kept what " + driver + " held, as " + kept);
  return Place(placing, kDriverSource, driver, kept, original);
}

platform::ErrorCode DeployToAcadFolder(const platform::Services& services, const std::string& acadFolder,
                                       bool withPlotDriver, core::CopyQuestions& questions, core::Report& report,
                                       const deploy::PlacedEarlier& placedEarlier) {
  std::string package;
  if (!deploy::LocatePackageFolder(services, questions, package)) {
    report.Line("nothing placed into " + acadFolder + ": the package was not found");
    return platform::kErrorPathNotFound;
  }
  const Placing placing{services, package, report};
  platform::FirstError placed;
  const std::string fonts = InFolder(acadFolder, "Fonts"), drivers = InFolder(acadFolder, "Drv");
  if (fonts.size() > kMaxFolderPath) {
    report.Line("nothing placed into " + fonts + ": its path is too long");
    placed += platform::kErrorFilenameTooLong;
  } else {
    for (const char* font : deploy::kFontNames) placed += Place(placing, font, InFolder(fonts, font));
  }
  if (withPlotDriver && drivers.size() > kMaxFolderPath) {
    report.Line("nothing placed into " + drivers + ": its path is too long");
    placed += platform::kErrorFilenameTooLong;
  } else if (withPlotDriver) {
    placed += PlaceDriver(placing, drivers, placedEarlier);
  }
  return placed.Get();
}

}  // namespace

namespace deploy {

bool IsFontName(const std::string& name, platform::LeadByteTest isLeadByte) {
  for (const char* font : kFontNames) {
    if (platform::EqualsIgnoringCase(name, font, isLeadByte)) return true;
  }
  return false;
}

platform::ErrorCode DeployToAcadFolders(const CAcadInstallInfo& info, const acad::ReleaseTicks& ticks,
                                        core::CopyQuestions& questions, core::Report& report,
                                        const PlacedEarlier& placedEarlier) {
  platform::FirstError placed;
  for (int index = 0; index < acad::kReleaseCount; ++index) {
    if (ticks[index] == 0) continue;
    for (const std::string& folder : info.m_arrAcadLocation[index]) {
      placed += DeployToAcadFolder(info.Services(), folder, index == kAcad2008Index, questions, report, placedEarlier);
    }
  }
  return placed.Get();
}

}  // namespace deploy
