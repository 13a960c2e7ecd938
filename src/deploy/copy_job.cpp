#include "deploy/copy_job.h"

#include <algorithm>
#include <utility>

#include "deploy/acad_folders.h"
#include "deploy/file_utilities.h"
#include "platform/file_contents.h"
#include "platform/format.h"
#include "platform/multibyte.h"
#include "platform/paths.h"
#include "platform/texts.h"

using platform::FoundEntry;
using platform::InFolder;

namespace {

// What a file in use is written as until Windows next starts.
const char kPendingSuffix[] = ".vortel-new";

bool FitsPathBuffer(const std::string& path) { return path.size() < platform::kMaxPath; }

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
  if (deploy::IsFontName(name, isLeadByte)) return "a font, for AutoCAD's Fonts folders";
  return nullptr;
}

const char* AnswerName(core::CopyAnswer answer) {
  switch (answer) {
    case core::CopyAnswer::Retry: return "Retry";
    case core::CopyAnswer::Ignore: return "Ignore";
    case core::CopyAnswer::Abort: return "Abort";
    case core::CopyAnswer::ReplaceAtRestart: return "put it in place when Windows next starts";
  }
  return "";
}

}  // namespace

CopyJob::CopyJob(std::string installDir, platform::ProgressBar& progress, core::CopyQuestions& questions,
                 core::Report& report, const platform::Services& services)
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
  const auto listed = [&] {
    end = ScanFolder(SearchPattern(folders.source), copyEntry);
    return end == ScanEnd::Unlistable ? platform::kErrorAccessDenied : platform::kErrorSuccess;
  };
  const Outcome outcome = CopyAsAnswered(folders.destination, listed, nullptr);
  m_listedWhole = m_listedWhole && end == ScanEnd::Listed;
  return outcome == Outcome::Aborted || end == ScanEnd::Stopped ? Result::Aborted : Result::Copied;
}

void CopyJob::CopyExtensionLibrary() {
  std::string packageFolder;
  if (!deploy::LocatePackageFolder(m_services, m_questions, packageFolder)) return;
  const std::string library = texts::kExtensionLibraryFolder;
  const CopyFolders folders = PrepareFolders(InFolder(packageFolder, library), InFolder(m_strInstallDir, library));
  const ScanEnd end = ScanFolder(SearchPattern(folders.source), [&](const FoundEntry& entry) {
    if (!SkippedByEveryCopy(entry)) CopyLibraryFile(folders, entry);
    return true;
  });
  const bool noLibrary = m_services.files.GetAttributes(folders.source) == platform::kInvalidFileAttributes;
  m_listedWhole = m_listedWhole && (end == ScanEnd::Listed || noLibrary);
}

CopyJob::Result CopyJob::CopyProgramItself(const std::string& name) {
  const std::string destination = InFolder(m_strInstallDir, name);
  m_shipped.push_back(destination);
  const auto copy = [&] {
    const std::optional<std::string> program = platform::ProgramPath(m_services.files);
    if (!program) return platform::kErrorFileNotFound;
    return FitsPathBuffer(destination) ? CopyOver(*program, destination, "maintenance copy: ")
                                       : platform::kErrorFilenameTooLong;
  };
  return CopyAsAnswered(destination, copy, nullptr) == Outcome::Aborted ? Result::Aborted : Result::Copied;
}

CopyJob::CopyFolders CopyJob::PrepareFolders(const std::string& source, const std::string& destination) {
  const bool destinationFits = FitsPathBuffer(destination);
  // An existing folder is fine; a folder that cannot be made fails the copies into it. Its line comes
  // first, so that a run killed once it is made leaves nothing the journal does not name.
  const core::Effect line{core::EffectKind::FolderMade, {destination}};
  if (destinationFits) m_report.Done(line);
  if (destinationFits && m_services.files.MakeDirectory(destination) != platform::kErrorSuccess) m_report.Undone(line);
  return CopyFolders{source, destination, destinationFits};
}

void CopyJob::LetGoOfFolders() {
  m_held.clear();
  m_heldNames.clear();
}

platform::ErrorCode CopyJob::HoldChecked(const std::string& folder) {
  if (std::find(m_heldNames.begin(), m_heldNames.end(), folder) != m_heldNames.end()) return platform::kErrorSuccess;
  platform::FileSystem& files = m_services.files;
  platform::ScopedFile entry(files);
  std::uint32_t attributes = 0;
  std::string final;
  platform::ErrorCode held = platform::OpenWhereItLies(files, folder, entry, &attributes, &final);
  const bool inside = m_finalInstallDir.empty()
                          ? (attributes & platform::kFileAttributeReparsePoint) == 0
                          : platform::IsInsideFolder(final, m_finalInstallDir, m_services.isLeadByte);
  if (held == platform::kErrorSuccess && !inside) held = platform::kErrorAccessDenied;
  if (held != platform::kErrorSuccess) {
    m_report.Line(platform::FormatText("nothing is copied into %s now (error %ld)", folder.c_str(), held));
    return held;
  }
  if (m_finalInstallDir.empty()) m_finalInstallDir = final;
  m_held.push_back(std::move(entry));
  m_heldNames.push_back(folder);
  return held;
}

// Lists the whole folder and hands each entry to `visit`, sending one progress step per turn.
// The scan is Listed at the end of the listing, Stopped when `visit` asks to stop, and
// Unlistable when the listing cannot be opened (a pattern too long for its buffer among the
// causes) or breaks off.
CopyJob::ScanEnd CopyJob::ScanFolder(const std::string& pattern, const EntryVisit& visit) {
  if (!FitsPathBuffer(pattern)) return ScanEnd::Unlistable;
  platform::FileSystem& files = m_services.files;
  platform::ScopedFind listing(files);
  FoundEntry entry;
  if (files.FindFirst(pattern, listing.Receive(), &entry) != platform::kErrorSuccess) return ScanEnd::Unlistable;
  for (bool first = true;; first = false) {
    m_progress.Send(platform::kPbmStepIt, 0, 0);
    if (!first) {
      const platform::ErrorCode next = files.FindNext(listing.Get(), &entry);
      if (next == platform::kErrorNoMoreFiles) return ScanEnd::Listed;
      if (next != platform::kErrorSuccess) return ScanEnd::Unlistable;
    }
    if (!visit(entry)) return ScanEnd::Stopped;
  }
}

// False when the user chose to abort.
bool CopyJob::CopyProgramFile(const CopyFolders& folders, const FoundEntry& entry) {
  const std::string source = InFolder(folders.source, entry.name);
  deploy::ClearReadOnly(m_services, source);
  deploy::RemoveZoneIdentifier(m_services, source);
  m_shipped.push_back(InFolder(folders.destination, entry.name));
  return CopyAsAnswered(source, InFolder(folders.destination, entry.name), folders) != Outcome::Aborted;
}

// A library file that cannot be copied is left out.
void CopyJob::CopyLibraryFile(const CopyFolders& folders, const FoundEntry& entry) {
  if (!folders.destinationFits || HoldChecked(folders.destination) != platform::kErrorSuccess) return;
  const std::string source = InFolder(folders.source, entry.name);
  const std::string destination = InFolder(folders.destination, entry.name);
  m_shipped.push_back(destination);
  deploy::ClearReadOnly(m_services, source);
  const platform::ErrorCode copied = CopyOver(source, destination, "library file copied: ", true);
  if (copied != platform::kErrorSuccess) {
    m_report.Line(platform::FormatText("library file not copied: %s (error %ld)", destination.c_str(), copied));
  }
}

CopyJob::Outcome CopyJob::CopyAsAnswered(const std::string& source, const std::string& destination,
                                         const CopyFolders& folders) {
  const auto copy = [&] {
    if (!folders.destinationFits) return platform::kErrorFilenameTooLong;
    const platform::ErrorCode held = HoldChecked(folders.destination);
    return held == platform::kErrorSuccess ? CopyOver(source, destination, "program file copied: ") : held;
  };
  return CopyAsAnswered(destination, copy, [&] { return ReplaceAtRestart(source, destination); });
}

// Runs `copy` until it succeeds or the questions give up on it: each failure asks whether to
// try again, to leave the file as it is and go on, to abort, or (a file in use) to put it in
// place when Windows next starts, which failing ends as an abort.
CopyJob::Outcome CopyJob::CopyAsAnswered(const std::string& destination,
                                         const std::function<platform::ErrorCode()>& copy,
                                         const std::function<platform::ErrorCode()>& replaceAtRestart) {
  for (platform::ErrorCode error; (error = copy()) != platform::kErrorSuccess;) {
    core::CopyAnswer answer = m_questions.CopyFailed(destination, error);
    if (answer == core::CopyAnswer::ReplaceAtRestart && !replaceAtRestart) answer = core::CopyAnswer::Abort;
    m_report.Line(platform::FormatText("not copied: %s (error %ld), answered %s", destination.c_str(), error,
                                       AnswerName(answer)));
    switch (answer) {
      case core::CopyAnswer::Retry: continue;
      case core::CopyAnswer::Ignore: return Outcome::Ignored;
      case core::CopyAnswer::Abort: return Outcome::Aborted;
      case core::CopyAnswer::ReplaceAtRestart:
        return replaceAtRestart() == platform::kErrorSuccess ? Outcome::Copied : Outcome::Aborted;
    }
  }
  return Outcome::Copied;
}

// Copies one file under a temporary name beside the destination (named in the journal first, so
// that a killed run leaves nothing the journal does not name), records the copy with its digest
// and moves it into place, keeping what the destination held beside it. The read-only mark is
// cleared before (so that a Retry can succeed once whatever kept it from being cleared has gone)
// and after. A library file is copied with every stream, its zone mark among them, and read back
// for its digest; the others (their mark removed at the source) are digested on their way.
platform::ErrorCode CopyJob::CopyOver(const std::string& source, const std::string& destination, const char* what,
                                      bool withZoneMark) {
  platform::FileSystem& files = m_services.files;
  const core::Effect temporary{core::EffectKind::TemporaryFile, {destination + deploy::kPartialSuffix}};
  const std::string& partial = temporary.fields[0];
  m_report.Done(temporary);
  platform::FileDigest digest;
  platform::ErrorCode copied =
      withZoneMark ? files.Copy(source, partial, false) : files.CopyWithDigest(source, partial, false, &digest);
  if (copied == platform::kErrorSuccess && withZoneMark) copied = platform::DigestFile(files, partial, &digest);
  if (copied != platform::kErrorSuccess) {
    files.Delete(partial);
    return copied;
  }
  const core::Effect line{core::EffectKind::FileCopied, {destination, platform::DigestText(digest)}};
  m_report.Done(line);
  // Most files are new: moved into place at once, with no look at the destination beforehand.
  copied = files.Move(partial, destination, 0);
  if (copied == platform::kErrorAlreadyExists || copied == platform::kErrorFileExists)
    copied = MoveOver(partial, destination);
  if (copied != platform::kErrorSuccess) {
    m_report.Undone(line);
    files.Delete(partial);
    return copied;
  }
  m_report.Undone(temporary);  // the name is gone: nothing is left under it to remove
  deploy::ClearReadOnly(m_services, destination);
  m_bytesCopied += digest.size;
  m_report.Line(what + destination);
  return platform::kErrorSuccess;
}

// Moves `partial` over the file at `destination`, a copy of which is kept beside it first.
platform::ErrorCode CopyJob::MoveOver(const std::string& partial, const std::string& destination) {
  const std::uint32_t attributes = m_services.files.GetAttributes(destination);
  KeepReplaced(destination, attributes);
  // A file that is read-only, hidden or a system file is not written over by a move.
  constexpr std::uint32_t kGuarding =
      platform::kFileAttributeReadOnly | platform::kFileAttributeHidden | platform::kFileAttributeSystem;
  if (platform::HasAttribute(attributes, kGuarding) &&
      !platform::HasAttribute(attributes, platform::kFileAttributeDirectory)) {
    m_services.files.SetAttributes(destination, attributes & ~kGuarding);
  }
  return m_services.files.Move(partial, destination, platform::kMoveReplaceExisting);
}

// The new file is written beside the one in use, and moved over it when Windows next starts.
platform::ErrorCode CopyJob::ReplaceAtRestart(const std::string& source, const std::string& destination) {
  const std::string pending = destination + kPendingSuffix;
  platform::FileDigest digest;
  platform::ErrorCode result = m_services.files.CopyWithDigest(source, pending, false, &digest);
  if (result == platform::kErrorSuccess) {
    Record(pending, digest, "written beside the file in use: ");
    result =
        m_services.files.Move(pending, destination, platform::kMoveReplaceExisting | platform::kMoveDelayUntilReboot);
  }
  if (result != platform::kErrorSuccess) {
    m_report.Line(platform::FormatText("%s cannot be put in place when Windows next starts (error %ld)",
                                       destination.c_str(), result));
    return result;
  }
  m_report.Done(core::Effect{core::EffectKind::FileCopied, {destination, platform::DigestText(digest)}});
  m_report.Line("put in place when Windows next starts: " + destination);
  m_restartNeeded = true;
  return result;
}

// Reports a file written, with the digest of what was written.
void CopyJob::Record(const std::string& path, const platform::FileDigest& digest, const char* what) {
  m_bytesCopied += digest.size;
  m_report.Done(core::Effect{core::EffectKind::FileCopied, {path, platform::DigestText(digest)}});
  m_report.Line(what + path);
}

void CopyJob::KeepReplaced(const std::string& destination, std::uint32_t attributes) {
  const bool known = std::any_of(m_replaced.begin(), m_replaced.end(),
                                 [&](const auto& replaced) { return replaced.first == destination; });
  if (attributes == platform::kInvalidFileAttributes || (attributes & platform::kFileAttributeDirectory) != 0 ||
      known) {
    return;
  }
  const std::string kept = destination + deploy::kReplacedSuffix;
  m_report.Done(core::Effect{core::EffectKind::TemporaryFile, {kept}});
  const platform::ErrorCode copied = m_services.files.Copy(destination, kept, false);
  if (copied == platform::kErrorSuccess) {
    m_replaced.emplace_back(destination, kept);
  } else {
    m_report.Line(platform::FormatText("%s is replaced without a copy kept (error %ld)", destination.c_str(), copied));
  }
}

void CopyJob::PutBackReplaced() {
  for (const auto& [path, kept] : m_replaced) {
    deploy::ClearReadOnly(m_services, path);
    const platform::ErrorCode restored = m_services.files.Copy(kept, path, false);
    if (restored == platform::kErrorSuccess) m_services.files.Delete(kept);
    m_report.Line(restored == platform::kErrorSuccess ? "put back as it was: " + path
                                                      : platform::FormatText("not put back (error %ld): %s, kept as %s",
                                                                             restored, path.c_str(), kept.c_str()));
  }
  m_replaced.clear();
}

void CopyJob::LetGoOfReplaced() {
  for (const auto& replaced : m_replaced) {
    deploy::ClearReadOnly(m_services, replaced.second);
    m_services.files.Delete(replaced.second);
  }
  m_replaced.clear();
}
