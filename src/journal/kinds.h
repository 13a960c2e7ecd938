// The journal's kinds of line, in one table: each with its name in the file, its number of
// fields, and its undo, which first checks that the line names only what the install makes.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "acad/install_info.h"
#include "core/report.h"
#include "platform/services.h"

namespace journal {

// What an undo works with.
struct UndoContext {
  const platform::Services& services;
  const CAcadInstallInfo& acad;  // the AutoCAD installations the registry names now
  std::string folder;            // the installation folder
  core::Report& report;
  bool leaveAcadFolders = false;         // another installation of the add-on is registered
  bool rollingBack = false;              // a failed install undoes its own lines
  std::optional<std::string> program;    // the running program's file
  std::string finalFolder;               // the installation folder's final path, resolved once per run
  std::vector<std::string> folderLines;  // the folders the journal says the install made
};

enum class Undo {
  Done,       // undone, or nothing was left to undo
  Changed,    // left as it is: it changed after the install (named to the user)
  Refused,    // not acted on: the line names what the install never makes
  Failed,     // cannot be undone now: the line stays in the journal
  AtRestart,  // goes when Windows next starts
  Running,    // the running program's own file: the line stays for whoever finishes the removal
  Deferred,   // a folder or a key not empty: removed once what it holds is gone
};

struct KindRow {
  core::EffectKind kind;
  const char* name;
  std::size_t fields;
  Undo (*undo)(const UndoContext& context, const core::Effect& line);
  unsigned pathFields;  // a bit for each field that is a path, checked to be plain before anything else
};

// Undoes a line by its kind's row, once every path it names is plain; a line naming another path is
// refused, untouched.
Undo UndoLine(const UndoContext& context, const core::Effect& line);

// Whether every path a line names is plain (platform::IsPlainPath).
bool HasPlainPaths(const core::Effect& line, platform::LeadByteTest isLeadByte);

// Opens `path` as it is (a link itself, never what it leads to) and checks where it really lies:
// inside the installation folder's final path (or that folder itself) when `inside`, else at
// `path` itself, through no link. `*elsewhere` when it lies elsewhere (logged; then nothing is
// open); `entry` holds it open on success.
platform::ErrorCode OpenChecked(const UndoContext& context, const std::string& path, bool inside,
                                platform::ScopedFile& entry, bool* elsewhere);

// The row of a kind named so in the file; null for another name.
const KindRow* FindKind(const std::string& name);
const KindRow& RowOf(core::EffectKind kind);

// Whether a folder line may be acted on: the installation folder, a folder inside it, or one
// above it when every level from it down to the installation folder is a folder the journal says
// the install made (removed only when empty).
bool IsOwnFolder(const UndoContext& context, const std::string& folder);

// Whether an error says that the path names nothing: neither the file nor a folder on the way.
bool IsGone(platform::ErrorCode error);

}  // namespace journal
