// Placing the add-on's files inside AutoCAD's own folders: the two shape fonts into "Fonts"
// of every served installation, and for AutoCAD 2008 the plot driver into "Drv", where it
// replaces AutoCAD's "pdfplot9.hdi". Existing files are overwritten; nothing is created.
#include "acad/install_info.h"
#include "deploy/file_utilities.h"
#include "platform/format.h"

namespace {

constexpr int kAcad2008Index = 1;
// The Fonts and Drv folder paths are held in buffers of 260 bytes.
constexpr std::size_t kMaxFolderPath = 259;

// Copies each named file of the package into `folder`, under the destination name paired
// with it, and logs each copy. A folder path too long for its buffer is refused whole.
void CopyInto(const platform::Services& services, const std::string& package, const std::string& folder,
              std::initializer_list<std::pair<const char*, const char*>> files, install::InstallLog& log) {
  if (folder.size() > kMaxFolderPath) {
    log.Line("nothing placed into " + folder + ": its path is too long");
    return;
  }
  for (const auto& [source, destination] : files) {
    const std::string target = folder + "\\" + destination;
    const platform::ErrorCode copied = services.files.Copy(package + "\\" + source, target, false);
    log.Line(copied == platform::kErrorSuccess
                 ? "placed " + target
                 : platform::FormatText("not placed %s (error %ld)", target.c_str(), copied));
  }
}

}  // namespace

void CAcadInstallInfo::DeployToAcadFolders(const acad::ReleaseTicks& ticks, deploy::CopyQuestions& questions,
                                           install::InstallLog& log) {
  for (int index = 0; index < acad::kReleaseCount; ++index) {
    if (ticks[index] == 0) continue;
    for (const std::string& folder : m_arrAcadLocation[index]) {
      DeployToAcadFolder(folder, index == kAcad2008Index, questions, log);
    }
  }
}

void CAcadInstallInfo::DeployToAcadFolder(std::string acadFolder, bool withPlotDriver,
                                          deploy::CopyQuestions& questions, install::InstallLog& log) {
  std::string package;
  if (!deploy::LocatePackageFolder(m_services, questions, package)) {
    log.Line("nothing placed into " + acadFolder + ": the package was not found");
    return;
  }
  CopyInto(m_services, package, acadFolder + "\\Fonts",
           {{"Vortel_EN.shx", "Vortel_EN.shx"}, {"Vortel_HZ.shx", "Vortel_HZ.shx"}}, log);
  if (withPlotDriver) {
    CopyInto(m_services, package, acadFolder + "\\Drv", {{"Vortel.prt5", "pdfplot9.hdi"}}, log);
  }
}
