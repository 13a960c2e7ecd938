// CopyJob: copies the add-on's files from the installation package into the installation
// folder. Both copies are flat (sub-folders are never entered) and step the progress bar once
// per directory entry they examine, plus once for the end of the listing. Every file copied is
// reported with its size and digest, so that an uninstall removes it only while it is unchanged.
#pragma once

#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "core/questions.h"
#include "core/report.h"
#include "platform/file_system.h"
#include "platform/progress_bar.h"
#include "platform/services.h"

class CopyJob {
 public:
  // One trailing backslash of `installDir` is dropped. The bar is stepped, the questions asked
  // and every file logged; none of them is owned.
  CopyJob(std::string installDir, platform::ProgressBar& progress, core::CopyQuestions& questions, core::Report& report,
          const platform::Services& services);

  enum class Result { Copied, PackageMissing, Aborted };
  // Copies the program files at the package's top level into the installation folder. A copy
  // that fails, or a package that cannot be listed, asks whether to abort, retry or ignore (or,
  // for a file in use, to put it in place when Windows next starts). Copied also when files were
  // ignored; files copied before an abort stay.
  Result CopyProgramFiles();

  // Copies the files of the package's extension library folder into a folder of the same
  // name inside the installation folder. Failures are silent.
  void CopyExtensionLibrary();

  // Copies the running program into the installation folder as `name`, as a program file.
  Result CopyProgramItself(const std::string& name);

  // How many bytes the copies have written.
  std::uint64_t BytesCopied() const { return m_bytesCopied; }
  // Whether a file in use is put in place only when Windows next starts.
  bool RestartNeeded() const { return m_restartNeeded; }
  // Where the package's files go, whether copied or not; and whether the package was listed whole,
  // so that a file it does not list is one it no longer ships.
  const std::vector<std::string>& Shipped() const { return m_shipped; }
  bool ListedWhole() const { return m_listedWhole; }

  // The files the copies replaced are kept beside them until the run is over: put back when the
  // run is rolled back, or let go when it stands.
  void PutBackReplaced();
  void LetGoOfReplaced();
  // Lets go of the folders held while the copies were made, so that what the journal names in them
  // can be checked and removed through handles of its own.
  void LetGoOfFolders();

 private:
  // Where a copy's files come from and go to. A destination folder whose path would not fit
  // the program's 260-byte path buffers is refused: nothing is created or written below it; and
  // so is one that lies elsewhere than where it is named, through a link.
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
  // Holds a folder written to open as it is, once its final path is checked: the installation
  // folder's own (the first held) is no link, and any other lies inside it.
  platform::ErrorCode HoldChecked(const std::string& folder);
  ScanEnd ScanFolder(const std::string& pattern, const EntryVisit& visit);
  bool CopyProgramFile(const CopyFolders& folders, const platform::FoundEntry& entry);
  void CopyLibraryFile(const CopyFolders& folders, const platform::FoundEntry& entry);
  Outcome CopyAsAnswered(const std::string& source, const std::string& destination, const CopyFolders& folders);
  Outcome CopyAsAnswered(const std::string& destination, const std::function<platform::ErrorCode()>& copy,
                         const std::function<platform::ErrorCode()>& replaceAtRestart);
  platform::ErrorCode CopyOver(const std::string& source, const std::string& destination, const char* what,
                               bool withZoneMark = false);
  platform::ErrorCode MoveOver(const std::string& partial, const std::string& destination);
  platform::ErrorCode ReplaceAtRestart(const std::string& source, const std::string& destination);
  void Record(const std::string& path, const platform::FileDigest& digest, const char* what);
  // Keeps a copy of what the destination holds (`attributes`: its attributes, if it exists).
  void KeepReplaced(const std::string& destination, std::uint32_t attributes);

  std::string m_strInstallDir;
  platform::ProgressBar& m_progress;
  core::CopyQuestions& m_questions;
  core::Report& m_report;
  const platform::Services& m_services;
  std::uint64_t m_bytesCopied = 0;
  bool m_restartNeeded = false;
  std::vector<std::string> m_shipped;
  bool m_listedWhole = true;
  std::vector<std::pair<std::string, std::string>> m_replaced;  // a file replaced, and its copy
  std::vector<platform::ScopedFile> m_held;  // the folders written to, held open: none is renamed or replaced meanwhile
  std::vector<std::string> m_heldNames;
  std::string m_finalInstallDir;  // the installation folder's final path
};
