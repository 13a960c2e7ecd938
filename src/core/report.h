// What a run reports as it goes: lines for the log, and each effect that an uninstall must undo,
// for the journal. Whoever keeps account of the run takes what concerns it and passes on the rest.
#pragma once

#include <string>
#include <vector>

#include "platform/win32_types.h"

namespace core {

// The kinds of effect a run leaves, each a kind of line in the journal with its fields.
enum class EffectKind {
  FolderMade,          // path: a folder the install made
  FileCopied,          // path, digest: a file copied into the installation folder
  FilePlaced,          // path, digest: a file placed into an AutoCAD folder where there was none
  FileReplaced,        // path, digest, kept, kept's digest: a file placed there over one kept beside it
  KeyMade,             // "HKLM\..." or "HKCU\...": a registry key the install made
  LoaderWritten,       // product key (below HKLM), entry: a demand-load entry written
  TrustedPathAdded,    // Variables key (below HKCU), "1" or "0": TRUSTEDPATHS gained the folder
                       // (and whether it held a value before)
  PerUserStepWritten,  // the installation folder: the step that trusts it for every user at logon
  TemporaryFile,       // path: a file the run writes before it is moved into place, or a copy kept
                       // of one replaced until the run is over (what a killed run leaves)
};

struct Effect {
  EffectKind kind;
  std::vector<std::string> fields;
};

class Report {
 public:
  virtual ~Report() = default;

  // A line of the log, in the system's code page.
  virtual void Line(const std::string&) {}
  // The last line of the log, which tells how the run ended: written however long the log is.
  virtual void LastLine(const std::string& text) { Line(text); }
  // Something done, or about to be done, that an uninstall must undo: the error when its line
  // could not be written (logged).
  virtual platform::ErrorCode Done(const Effect&) { return platform::kErrorSuccess; }
  // The last effect reported so did not happen after all (what was there before stays).
  virtual void Undone(const Effect&) {}
};

// A run that keeps no account.
class NoReport final : public Report {};

}  // namespace core
