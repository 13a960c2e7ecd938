#include "install/install_sequence.h"

#include "deploy/acad_folders.h"
#include "deploy/copy_job.h"
#include "deploy/file_utilities.h"
#include "journal/journal.h"
#include "journal/maintenance.h"
#include "profile/loader_registration.h"
#include "platform/format.h"
#include "platform/texts.h"
#include "core/package.h"

namespace install {
namespace {

const char kInstallSubFolder[] = "\\V-Trelmox";
// The longest installation folder accepted, so that every path formed below it (loader
// paths, copies into the extension library folder) fits the program's 260-byte buffers.
constexpr std::size_t kMaxInstallFolder = 240;
// A full path is formed in a buffer of this many bytes, zero included.
constexpr std::uint32_t kFullPathBufferSize = 260;

constexpr int kProgressEnd = 50;
constexpr std::intptr_t kProgressRange = kProgressEnd << 16;  // low word 0, high word 50

// Makes the installation folder; true when the program made it. A folder the program makes is
// writable only by those who may change what AutoCAD loads; one that was there already keeps
// its access list.
bool MakeInstallFolder(const InstallRun& run, const std::string& installFolder) {
  const platform::ErrorCode made = run.services.files.MakeProtectedDirectory(installFolder);
  run.report.Line(made == platform::kErrorSuccess ? "made " + installFolder + " with an access list of its own"
                  : made == platform::kErrorAlreadyExists
                      ? installFolder + " was there already: its access list is left as it is"
                      : platform::FormatText("%s not made (error %ld)", installFolder.c_str(), made));
  return made == platform::kErrorSuccess;
}

}  // namespace

FolderChoice ChooseFolder(const platform::Services& services, const std::string& typed) {
  char full[kFullPathBufferSize] = {};
  const std::uint32_t length = typed.empty() ? 0 : services.files.FullPathName(typed, full, kFullPathBufferSize);
  FolderChoice choice;
  choice.folder.assign(full, length < kFullPathBufferSize ? length : 0);
  platform::DropTrailingBackslash(choice.folder, services.isLeadByte);
  // A ';' would split the folder in two where AutoCAD reads its trusted paths, trusting another.
  if (length == 0 || platform::FindByCharacters(choice.folder, ";", services.isLeadByte) != std::string::npos) {
    choice.refusal = texts::kChooseInstallPath;
  } else if (length >= kFullPathBufferSize ||
             choice.folder.size() + sizeof kInstallSubFolder - 1 > kMaxInstallFolder) {
    choice.refusal = texts::kInstallPathTooLong;
  }
  return choice;
}

bool IsOffered(const CAcadInstallInfo& info, int year, int packageBits) {
  return !info.m_arrAcadLocation[acad::ReleaseIndex(year)].empty() &&
         (packageBits != 32 || year < acad::kFirstReleaseOf64BitOnly);
}

void LogRunStart(core::Report& report, const platform::Services& services, const std::string& commandLine) {
  const platform::LocalTime now = services.environment.Now();
  report.Line(platform::FormatText("Vortel setup %d.%02d.%02d (%d-bit AutoCAD)", g_nPackageVersion / 10000,
                                g_nPackageVersion % 10000 / 100, g_nPackageVersion % 100, g_nPackageBits));
  report.Line("command line: " + commandLine);
  report.Line(platform::FormatText("date: %04d-%02d-%02d %02d:%02d:%02d", now.year, now.month, now.day, now.hour,
                                now.minute, now.second));
  report.Line(services.environment.IsElevated() ? "elevated: yes" : "elevated: no");
}

void LogInstallations(core::Report& report, const CAcadInstallInfo& info, const acad::ReleaseTicks& ticks) {
  std::string ticked;
  for (int index = 0; index < acad::kReleaseCount; ++index) {
    const int year = acad::ReleaseYear(index);
    for (std::size_t n = 0; n < info.m_arrProductKey[index].size(); ++n) {
      const std::string& key = info.m_arrProductKey[index][n];
      const bool wow = key.rfind("SOFTWARE\\Wow6432Node\\", 0) == 0;
      report.Line(platform::FormatText("found AutoCAD %d: HKLM\\%s (%s root), folder %s", year, key.c_str(),
                                    wow ? "32-bit" : "native", info.m_arrAcadLocation[index][n].c_str()));
    }
    if (ticks[index] != 0) ticked += " " + std::to_string(year);
  }
  report.Line(ticked.empty() ? "releases ticked: none" : "releases ticked:" + ticked);
}

InstallEnd Install(const InstallRun& run, const std::string& chosenFolder, const acad::ReleaseTicks& ticks) {
  const std::string installFolder = chosenFolder + kInstallSubFolder;
  run.report.Line("folder: " + chosenFolder + ", installation folder: " + installFolder);
  std::vector<std::string> made = deploy::MakeFolderWithParents(run.services, chosenFolder);
  if (MakeInstallFolder(run, installFolder)) made.push_back(installFolder);
  // From here on what the install does is also kept in its record, for the uninstall.
  journal::InstallRecordFile record(run.services, installFolder);
  core::BothReports report(run.report, record);
  for (const std::string& folder : made) report.FolderMade(folder);
  run.progress.Send(platform::kPbmSetRange, 0, kProgressRange);
  run.progress.Send(platform::kPbmSetStep, 1, 0);
  run.progress.Send(platform::kPbmSetPos, 0, 0);

  CopyJob job(installFolder, run.progress, run.questions, report, run.services);
  const CopyJob::Result copied = job.CopyProgramFiles();
  if (copied == CopyJob::Result::PackageMissing) {
    record.DiscardIfNew();
    return InstallEnd::PackageMissing;
  }
  if (copied == CopyJob::Result::Aborted) {
    journal::RegisterMaintenance(run.services, installFolder, job.BytesCopied(), report);  // what was copied can be removed
    return InstallEnd::Aborted;
  }
  job.CopyExtensionLibrary();
  journal::RegisterMaintenance(run.services, installFolder, job.BytesCopied(), report);
  run.progress.Send(platform::kPbmStepIt, 0, 0);

  run.installInfo.SetInstallDir(installFolder);
  const bool loadersWritten = profile::RegisterLoaders(run.installInfo, ticks, run.packageBits, report);
  run.progress.Send(platform::kPbmStepIt, 0, 0);

  deploy::DeployToAcadFolders(run.installInfo, ticks, run.questions, report);
  run.progress.Send(platform::kPbmStepIt, 0, 0);
  run.progress.Send(platform::kPbmSetPos, kProgressEnd, 0);
  return loadersWritten ? InstallEnd::Finished : InstallEnd::FinishedWithErrors;
}

}  // namespace install
