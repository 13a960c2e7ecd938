// The install's record, "Uninstall.dat" in the installation folder: everything an install did
// that the uninstall must undo, one line each, written as the install goes so that the file is
// whole after every line. A later install into the same folder adds to it. A record that cannot
// be read whole is not guessed at.
#pragma once

#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "core/report.h"
#include "platform/services.h"

namespace journal {

inline constexpr char kRecordName[] = "Uninstall.dat";

struct InstallRecord {
  using Pair = std::pair<std::string, std::string>;
  std::vector<std::string> folders;  // made by the install, parents first
  std::vector<std::string> files;    // written into the installation folder
  std::vector<std::string> placed;   // written into AutoCAD's folders (the fonts stay)
  std::vector<Pair> originals;       // a file replaced, and the copy of its original kept
  std::vector<std::string> keys;     // made by the install, "HKLM\..." or "HKCU\..."
  std::vector<Pair> loaders;         // a product key (below HKLM), and its entry written
  std::vector<Pair> trusted;         // a Variables key (below HKCU) whose TRUSTEDPATHS gained the
                                     // folder, and "1" when the value was there before, else "0"
  std::vector<std::string> steps;    // the folder, when a per-user step trusted it for every user
};

// The record of an installation folder; nothing when there is none, or it cannot be read whole.
std::optional<InstallRecord> ReadInstallRecord(const platform::Services& services, const std::string& installFolder);

class InstallRecordFile final : public core::Report {
 public:
  // Keeps the record of `installFolder`, with what an earlier record there holds.
  InstallRecordFile(const platform::Services& services, const std::string& installFolder);

  void FolderMade(const std::string& path) override { Add("folder", path); }
  void FileWritten(const std::string& path) override;
  void OriginalKept(const std::string& original, const std::string& copy) override { Add("original", original, copy); }
  void KeyMade(const std::string& key) override { Add("key", key); }
  void LoaderWritten(const std::string& productKey, const std::string& entry) override { Add("loader", productKey, entry); }
  void TrustedPathAdded(const std::string& variablesKey, bool valueExisted) override {
    Add("trusted", variablesKey, valueExisted ? "1" : "0");
  }
  void PerUserStepWritten(const std::string& folder) override { Add("step", folder); }
  // Deletes the record begun by this install, when there was none before: an install that
  // copied nothing leaves no record.
  void DiscardIfNew();

 private:
  void Add(const char* kind, const std::string& first, const std::string& second = "");

  const platform::Services& m_services;
  const std::string m_installFolder;
  platform::ScopedFile m_file;
  bool m_new = true;
};

}  // namespace journal
