#include "deploy/copy_job.h"

#include <utility>

#include "deploy/file_utilities.h"
#include "platform/format.h"
#include "platform/multibyte.h"
#include "platform/texts.h"

using platform::FoundEntry;

namespace {

// A scan stops once it has examined more entries than this ("." and ".." included).
constexpr int kProgramFileLimit = 100;
constexpr int kLibraryFileLimit = 80;

// Folder paths and search patterns are held in buffers of this many bytes, zero included.
constexpr std::size_t kPathBufferSize = 260;

bool FitsPathBuffer(const std::string& path) { return path.size() < kPathBufferSize; }

std::string InFolder(const std::string& folder, const std::string& name) {
  return folder + "\\" + name;
}

std::string SearchPattern(const std::string& folder) { return InFolder(folder, "*.*"); }

bool IsDotEntry(const FoundEntry& entry) { return entry.name == "." || entry.name == ".."; }

// Skipped by both copies: the entries "." and "..", and every folder, whatever other
// attributes (read-only, hidden...) it carries besides the directory bit.
bool SkippedByEveryCopy(const FoundEntry& entry) {
  return IsDotEntry(entry) || (entry.attributes & platform::kFileAttributeDirectory) != 0;
}

// Why the program-file copy leaves an entry out, by its rules tested in this order; null
// when it copies the entry.
const char* WhyNotAProgramFile(const FoundEntry& entry, platform::LeadByteTest isLeadByte) {
  if (SkippedByEveryCopy(entry)) return "a folder";
  const std::string& name = entry.name;
  if (platform::FindByCharacters(name, texts::kExtensionLibraryMark, isLeadByte) != std::string::npos) {
    return "the extension library's";
  }
  if (name.find('.') == std::string::npos) return "no dot in its name";
  if (platform::EqualsIgnoringCase(name, "SetUp.EXE", isLeadByte)) return "the setup program";
  for (const char* font : {"Vortel_EN.shx", "Vortel_HZ.shx"}) {
    if (platform::EqualsIgnoringCase(name, font, isLeadByte)) return "a font, for AutoCAD's Fonts folders";
  }
  return nullptr;
}

const char* AnswerName(core::CopyAnswer answer) {
  switch (answer) {
    case core::CopyAnswer::Retry: return "Retry";
    case core::CopyAnswer::Ignore: return "Ignore";
    case core::CopyAnswer::Abort: return "Abort";
  }
  return "";
}

}  // namespace

CopyJob::CopyJob(std::string installDir, platform::ProgressBar& progress,
                 core::CopyQuestions& questions, core::Report& report,
                 const platform::Services& services)
    : m_strInstallDir(std::move(installDir)),
      m_progress(progress),
      m_questions(questions),
      m_report(report),
      m_services(services) {
  platform::DropTrailingBackslash(m_strInstallDir, m_services.isLeadByte);
}

CopyJob::Result CopyJob::CopyProgramFiles() {
  std::string packageFolder;
  if (!deploy::LocatePackageFolder(m_services, m_questions, packageFolder)) {
    m_report.Line("the package was not found beside the program");
    return Result::PackageMissing;
  }
  m_report.Line("package: " + packageFolder);
  const CopyFolders folders = PrepareFolders(packageFolder, m_strInstallDir);
  const EntryVisit copyEntry = [&](const FoundEntry& entry) {
    const char* why = WhyNotAProgramFile(entry, m_services.isLeadByte);
    if (why != nullptr && !IsDotEntry(entry)) m_report.Line("program file skipped: " + entry.name + " (" + why + ")");
    return why != nullptr || CopyProgramFile(folders, entry);
  };
  // A package that cannot be listed whole is one failed copy into the installation folder:
  // Retry lists it again, Ignore goes on with what was copied.
  ScanEnd end = ScanEnd::Listed;
  const Outcome outcome = CopyAsAnswered(folders.destination, [&] {
    end = ScanFolder(SearchPattern(folders.source), kProgramFileLimit, copyEntry);
    return end == ScanEnd::Unlistable ? platform::kErrorAccessDenied : platform::kErrorSuccess;
  });
  return outcome == Outcome::Aborted || end == ScanEnd::Stopped ? Result::Aborted : Result::Copied;
}

void CopyJob::CopyExtensionLibrary() {
  std::string packageFolder;
  if (!deploy::LocatePackageFolder(m_services, m_questions, packageFolder)) return;
  const std::string library = texts::kExtensionLibraryFolder;
  const CopyFolders folders =
      PrepareFolders(InFolder(packageFolder, library), InFolder(m_strInstallDir, library));
  ScanFolder(SearchPattern(folders.source), kLibraryFileLimit, [&](const FoundEntry& entry) {
    if (!SkippedByEveryCopy(entry)) CopyLibraryFile(folders, entry);
    return true;
  });
}

CopyJob::CopyFolders CopyJob::PrepareFolders(const std::string& source,
                                             const std::string& destination) {
  const bool destinationFits = FitsPathBuffer(destination);
  // An existing folder is fine; a folder that cannot be made fails the copies into it.
  if (destinationFits && m_services.files.MakeDirectory(destination) == platform::kErrorSuccess) {
    m_report.FolderMade(destination);
  }
  return CopyFolders{source, destination, destinationFits};
}

// Lists the folder and hands each entry to `visit`, sending one progress step per turn.
// The scan is Listed at the end of the listing or once more than `limit` entries were
// examined, Stopped when `visit` asks to stop, and Unlistable when the listing cannot be
// opened (a pattern too long for its buffer among the causes) or breaks off.
CopyJob::ScanEnd CopyJob::ScanFolder(const std::string& pattern, int limit,
                                     const EntryVisit& visit) {
  if (!FitsPathBuffer(pattern)) return ScanEnd::Unlistable;
  platform::FileSystem& files = m_services.files;
  platform::ScopedFind listing(files);
  FoundEntry entry;
  if (files.FindFirst(pattern, listing.Receive(), &entry) != platform::kErrorSuccess) {
    return ScanEnd::Unlistable;
  }
  for (int examined = 0;;) {
    m_progress.Send(platform::kPbmStepIt, 0, 0);
    if (examined > 0) {
      const platform::ErrorCode next = files.FindNext(listing.Get(), &entry);
      if (next == platform::kErrorNoMoreFiles) return ScanEnd::Listed;
      if (next != platform::kErrorSuccess) return ScanEnd::Unlistable;
    }
    if (!visit(entry)) return ScanEnd::Stopped;
    if (++examined > limit) return ScanEnd::Listed;
  }
}

// False when the user chose to abort.
bool CopyJob::CopyProgramFile(const CopyFolders& folders, const FoundEntry& entry) {
  const std::string source = InFolder(folders.source, entry.name);
  const std::string destination = InFolder(folders.destination, entry.name);
  deploy::ClearReadOnly(m_services, source);
  deploy::RemoveZoneIdentifier(m_services, source);
  // Each attempt clears the destination's read-only mark first, so that a Retry can succeed
  // once whatever kept the mark from being cleared has gone.
  const Outcome outcome = CopyAsAnswered(destination, [&] {
    if (!folders.destinationFits) return platform::kErrorFilenameTooLong;
    deploy::ClearReadOnly(m_services, destination);
    return CopyOver(source, destination);
  });
  if (outcome == Outcome::Copied) {
    deploy::ClearReadOnly(m_services, destination);
    Written(destination, entry.size, "program file copied: ");
  }
  return outcome != Outcome::Aborted;
}

void CopyJob::CopyLibraryFile(const CopyFolders& folders, const FoundEntry& entry) {
  if (!folders.destinationFits) return;
  const std::string source = InFolder(folders.source, entry.name);
  const std::string destination = InFolder(folders.destination, entry.name);
  deploy::ClearReadOnly(m_services, source);
  deploy::ClearReadOnly(m_services, destination);
  // A file that cannot be copied is left out.
  const platform::ErrorCode copied = CopyOver(source, destination);
  deploy::ClearReadOnly(m_services, destination);
  if (copied == platform::kErrorSuccess) {
    Written(destination, entry.size, "library file copied: ");
  } else {
    m_report.Line(platform::FormatText("library file not copied: %s (error %ld)", destination.c_str(), copied));
  }
}

void CopyJob::Written(const std::string& destination, std::uint64_t size, const char* what) {
  m_bytesCopied += size;
  m_report.FileWritten(destination);
  m_report.Line(what + destination);
}

// Runs `copy` until it succeeds or the questions give up on it: each failure asks whether to
// try again, to leave the file as it is and go on, or to abort.
CopyJob::Outcome CopyJob::CopyAsAnswered(const std::string& destination,
                                         const std::function<platform::ErrorCode()>& copy) {
  for (platform::ErrorCode error; (error = copy()) != platform::kErrorSuccess;) {
    const core::CopyAnswer answer = m_questions.CopyFailed(destination, error);
    m_report.Line(platform::FormatText("not copied: %s (error %ld), answered %s", destination.c_str(), error,
                                    AnswerName(answer)));
    switch (answer) {
      case core::CopyAnswer::Retry: continue;
      case core::CopyAnswer::Ignore: return Outcome::Ignored;
      case core::CopyAnswer::Abort: return Outcome::Aborted;
    }
  }
  return Outcome::Copied;
}

platform::ErrorCode CopyJob::CopyOver(const std::string& source, const std::string& destination) {
  return m_services.files.Copy(source, destination, false);
}
