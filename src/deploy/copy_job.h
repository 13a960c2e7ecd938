// CopyJob: copies the add-on's files from the installation package into the installation
// folder. Both copies are flat (sub-folders are never entered) and step the progress bar once
// per directory entry they examine, plus once for the end of the listing.
#pragma once

#include <functional>
#include <string>

#include "core/questions.h"
#include "core/report.h"
#include "platform/file_system.h"
#include "platform/progress_bar.h"
#include "platform/services.h"

class CopyJob {
 public:
  // One trailing backslash of `installDir` is dropped. The bar is stepped, the questions asked
  // and every file logged; none of them is owned.
  CopyJob(std::string installDir, platform::ProgressBar& progress, core::CopyQuestions& questions,
          core::Report& report, const platform::Services& services);

  enum class Result { Copied, PackageMissing, Aborted };
  // Copies the program files at the package's top level into the installation folder. A copy
  // that fails, or a package that cannot be listed, asks whether to abort, retry or ignore.
  // Copied also when files were ignored; files copied before an abort stay.
  Result CopyProgramFiles();

  // Copies the files of the package's extension library folder into a folder of the same
  // name inside the installation folder. Failures are silent.
  void CopyExtensionLibrary();

  // How many bytes the copies have written.
  std::uint64_t BytesCopied() const { return m_bytesCopied; }

 private:
  // Where a copy's files come from and go to. A destination folder whose path would not fit
  // the program's 260-byte path buffers is refused: nothing is created or written below it.
  struct CopyFolders {
    std::string source;
    std::string destination;
    bool destinationFits;
  };
  enum class Outcome { Copied, Ignored, Aborted };
  enum class ScanEnd { Listed, Stopped, Unlistable };
  // Handles one entry of a listing; false ends the scan at once.
  using EntryVisit = std::function<bool(const platform::FoundEntry&)>;

  CopyFolders PrepareFolders(const std::string& source, const std::string& destination);
  ScanEnd ScanFolder(const std::string& pattern, int limit, const EntryVisit& visit);
  bool CopyProgramFile(const CopyFolders& folders, const platform::FoundEntry& entry);
  void CopyLibraryFile(const CopyFolders& folders, const platform::FoundEntry& entry);
  void Written(const std::string& destination, std::uint64_t size, const char* what);
  Outcome CopyAsAnswered(const std::string& destination,
                         const std::function<platform::ErrorCode()>& copy);
  platform::ErrorCode CopyOver(const std::string& source, const std::string& destination);

  std::string m_strInstallDir;
  platform::ProgressBar& m_progress;
  core::CopyQuestions& m_questions;
  core::Report& m_report;
  const platform::Services& m_services;
  std::uint64_t m_bytesCopied = 0;
};
