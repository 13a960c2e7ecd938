// Placing the add-on's files inside AutoCAD's own folders: the two shape fonts into "Fonts"
// of every served installation, and for AutoCAD 2008 the plot driver into "Drv", where it
// replaces AutoCAD's "pdfplot9.hdi" once its original is kept. Existing fonts are overwritten; nothing is created.
#include "deploy/acad_folders.h"

#include "deploy/file_utilities.h"
#include "platform/format.h"

namespace {

constexpr int kAcad2008Index = 1;
// The Fonts and Drv folder paths are held in buffers of 260 bytes.
constexpr std::size_t kMaxFolderPath = 259;

// The name under which the original of a file the install replaces is kept beside it, once.
const char kOriginalSuffix[] = ".vortel-backup";

// Copies each named file of the package into `folder`, under the destination name paired
// with it, and reports each copy. A folder path too long for its buffer is refused whole.
void CopyInto(const platform::Services& services, const std::string& package, const std::string& folder,
              std::initializer_list<std::pair<const char*, const char*>> files, core::Report& report) {
  if (folder.size() > kMaxFolderPath) {
    report.Line("nothing placed into " + folder + ": its path is too long");
    return;
  }
  for (const auto& [source, destination] : files) {
    const std::string target = folder + "\\" + destination;
    const platform::ErrorCode copied = services.files.Copy(package + "\\" + source, target, false);
    if (copied == platform::kErrorSuccess) report.FileWritten(target);
    report.Line(copied == platform::kErrorSuccess
                 ? "placed " + target
                 : platform::FormatText("not placed %s (error %ld)", target.c_str(), copied));
  }
}

// Keeps what a file the install is about to replace held before the add-on came, once: its
// original beside it, or an empty file there when there was none (no driver is empty). A copy
// kept by an earlier install is never overwritten, and stays the one to put back. Whether the original is kept.
bool KeepOriginal(const platform::Services& services, const std::string& original, core::Report& report) {
  const std::string copy = original + kOriginalSuffix;
  platform::ErrorCode kept = services.files.Copy(original, copy, true);
  if (kept == platform::kErrorFileNotFound) {
    platform::ScopedFile empty(services.files);
    kept = services.files.CreateFileForWriting(copy, true, empty.Receive());
  }
  if (kept == platform::kErrorSuccess || kept == platform::kErrorFileExists) {
    report.OriginalKept(original, copy);
    report.Line((kept == platform::kErrorSuccess ? "kept what " : "kept before: what ") + original + " held, as " + copy);
    return true;
  }
  report.Line(platform::FormatText("what %s held was not kept (error %ld), so it is not replaced", original.c_str(), kept));
  return false;
}

void DeployToAcadFolder(const platform::Services& services, const std::string& acadFolder, bool withPlotDriver,
                        core::CopyQuestions& questions, core::Report& report) {
  std::string package;
  if (!deploy::LocatePackageFolder(services, questions, package)) {
    report.Line("nothing placed into " + acadFolder + ": the package was not found");
    return;
  }
  CopyInto(services, package, acadFolder + "\\Fonts",
           {{"Vortel_EN.shx", "Vortel_EN.shx"}, {"Vortel_HZ.shx", "Vortel_HZ.shx"}}, report);
  if (withPlotDriver) {
    const std::string drivers = acadFolder + "\\Drv";
    if (drivers.size() > kMaxFolderPath || KeepOriginal(services, drivers + "\\pdfplot9.hdi", report)) {
      CopyInto(services, package, drivers, {{"Vortel.prt5", "pdfplot9.hdi"}}, report);
    }
  }
}

}  // namespace

namespace deploy {

void DeployToAcadFolders(const CAcadInstallInfo& info, const acad::ReleaseTicks& ticks,
                         core::CopyQuestions& questions, core::Report& report) {
  for (int index = 0; index < acad::kReleaseCount; ++index) {
    if (ticks[index] == 0) continue;
    for (const std::string& folder : info.m_arrAcadLocation[index]) {
      DeployToAcadFolder(info.Services(), folder, index == kAcad2008Index, questions, report);
    }
  }
}

}  // namespace deploy
