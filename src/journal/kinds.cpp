#include "journal/kinds.h"

#include <algorithm>
#include <cctype>
#include <vector>

#include "core/registry_keys.h"
#include "deploy/acad_folders.h"
#include "deploy/file_utilities.h"
#include "journal/journal.h"
#include "journal/maintenance.h"
#include "platform/file_contents.h"
#include "platform/format.h"
#include "platform/paths.h"
#include "profile/loader_registration.h"
#include "profile/trusted_paths.h"

namespace journal {
namespace {

using Parts = std::vector<std::string>;

Parts PartsOf(const std::string& path, platform::LeadByteTest isLeadByte) {
  return platform::SplitAtCharacter(path, '\\', isLeadByte);
}

void Tell(const UndoContext& context, const std::string& text) { context.report.Line(text); }

Undo Refuse(const UndoContext& context, const core::Effect& line, const char* why) {
  Tell(context, std::string("not acted on: ") + KindName(line.kind) + " " + line.fields[0] + " (" + why + ")");
  return Undo::Refused;
}

Undo Failure(const UndoContext& context, platform::ErrorCode error, const char* what, const std::string& path) {
  Tell(context, platform::FormatText("not %s (error %ld): %s", what, error, path.c_str()));
  return Undo::Failed;
}

// A file in use is moved out of the way under a name of its own and deleted when Windows next
// starts, so that what a later install puts at its place is never touched then. Its folder is held
// open meanwhile, checked as the file was: nobody renames or replaces it under the move.
Undo RemoveAtRestart(const UndoContext& context, const core::Effect& line, const std::string& path, bool inside) {
  platform::FileSystem& files = context.services.files;
  const std::string aside =
      platform::FormatText("%s.vortel-removed-%u", path.c_str(), context.services.processes.CurrentProcessId());
  platform::ScopedFile folder(files);
  bool elsewhere = false;
  const std::optional<std::string> parent = platform::FolderOf(path, context.services.isLeadByte);
  platform::ErrorCode moved =
      parent ? OpenChecked(context, *parent, inside, folder, &elsewhere) : platform::kErrorPathNotFound;
  if (elsewhere) return Refuse(context, line, "its folder lies elsewhere, behind a link");
  if (moved == platform::kErrorSuccess) moved = files.Move(path, aside, 0);
  if (moved == platform::kErrorSuccess) {
    moved = files.Move(aside, "", platform::kMoveDelayUntilReboot);
    if (moved != platform::kErrorSuccess) files.Move(aside, path, 0);
  }
  if (moved != platform::kErrorSuccess) return Failure(context, moved, "deleted", path);
  Tell(context, "deleted when Windows next starts: " + path);
  return Undo::AtRestart;
}

// Marks what `entry` holds open to go when its handle is closed, its read-only mark cleared first
// where it may have one: a read-only file cannot go.
platform::ErrorCode MarkToGo(platform::FileSystem& files, platform::FileHandle entry, bool mayBeReadOnly) {
  const platform::ErrorCode cleared = mayBeReadOnly ? files.ClearReadOnlyOpened(entry) : platform::kErrorSuccess;
  return cleared == platform::kErrorSuccess ? files.DeleteOpened(entry) : cleared;
}

// Deletes a file of the install while it holds what the line says; a file changed since stays. The
// file is checked, digested and deleted through one handle, opened as it is: a link at its name is
// removed itself. `inside`: it lies inside the installation folder, else exactly where it is named.
// Without a digest (a temporary copy a killed run left) whatever the file holds goes.
Undo DeleteUnchanged(const UndoContext& context, const core::Effect& line, const std::string& digestText, bool inside) {
  const std::string& path = line.fields[0];
  platform::FileSystem& files = context.services.files;
  platform::ScopedFile entry(files);
  bool elsewhere = false;
  const platform::ErrorCode opened = OpenChecked(context, path, inside, entry, &elsewhere);
  if (elsewhere) return Refuse(context, line, "it lies elsewhere, behind a link");
  if (IsGone(opened)) {
    Tell(context, "already gone: " + path);
    return Undo::Done;
  }
  if (core::IsInUse(opened)) return RemoveAtRestart(context, line, path, inside);
  if (opened != platform::kErrorSuccess) return Failure(context, opened, "deleted", path);
  std::uint32_t attributes = 0;
  platform::ErrorCode read = files.OpenAttributes(entry.Get(), &attributes);
  const bool link = read == platform::kErrorSuccess && (attributes & platform::kFileAttributeReparsePoint) != 0;
  const bool digested = read == platform::kErrorSuccess && !link && !digestText.empty();
  platform::FileDigest recorded, present;
  if (digested) read = platform::DigestOpenFile(files, entry.Get(), &present);
  if (digested && read == platform::kErrorSuccess &&
      (!platform::ParseDigest(digestText, &recorded) || present != recorded)) {
    Tell(context, "left as it is: " + path + (context.rollingBack ? "" : " changed after the install"));
    return context.rollingBack ? Undo::Done : Undo::Changed;
  }
  if (context.program && platform::IsSamePath(path, *context.program, context.services.isLeadByte)) {
    Tell(context, "the running program stays until it has ended: " + path);
    return Undo::Running;
  }
  const platform::ErrorCode deleted =
      read == platform::kErrorSuccess
          ? MarkToGo(files, entry.Get(), (attributes & platform::kFileAttributeReadOnly) != 0)
          : read;
  entry.Reset();  // it goes as its handle is closed
  if (deleted == platform::kErrorSuccess) {
    Tell(context, (link ? "removed the link " : "deleted ") + path);
    return Undo::Done;
  }
  // A program or library loaded by a process cannot go while it runs.
  const bool inUse = core::IsInUse(deleted) || deleted == platform::kErrorAccessDenied;
  return inUse ? RemoveAtRestart(context, line, path, inside) : Failure(context, deleted, "deleted", path);
}

Undo UndoFolder(const UndoContext& context, const core::Effect& line) {
  return IsOwnFolder(context, line.fields[0]) ? Undo::Deferred
                                              : Refuse(context, line, "not the installation folder or one of its own");
}

Undo UndoFileCopied(const UndoContext& context, const core::Effect& line) {
  if (!platform::IsInsideFolder(line.fields[0], context.folder, context.services.isLeadByte)) {
    return Refuse(context, line, "not inside the installation folder");
  }
  return DeleteUnchanged(context, line, line.fields[1], true);
}

// Whether `path` is the place of one of the install's files in an AutoCAD folder the registry
// names: a font in "Fonts", the driver in "Drv".
bool IsAcadPlace(const UndoContext& context, const std::string& path) {
  const platform::LeadByteTest lead = context.services.isLeadByte;
  for (const acad::StringList& folders : context.acad.m_arrAcadLocation) {
    for (const std::string& folder : folders) {
      for (const char* font : deploy::kFontNames) {
        if (platform::IsSamePath(path, platform::InFolder(platform::InFolder(folder, "Fonts"), font), lead))
          return true;
      }
      if (platform::IsSamePath(path, platform::InFolder(platform::InFolder(folder, "Drv"), deploy::kPlotDriverName),
                               lead)) {
        return true;
      }
    }
  }
  return false;
}

bool IsFont(const UndoContext& context, const std::string& path) {
  return deploy::IsFontName(platform::NameOf(path, context.services.isLeadByte), context.services.isLeadByte);
}

Undo UndoFilePlaced(const UndoContext& context, const core::Effect& line) {
  const std::string& path = line.fields[0];
  if (!IsAcadPlace(context, path)) return Refuse(context, line, "not a file the install places in AutoCAD's folders");
  // The fonts stay in AutoCAD's folders: drawings made with the add-on name them.
  if (IsFont(context, path)) {
    Tell(context, "font left in place: " + path);
    return Undo::Done;
  }
  if (context.leaveAcadFolders) {
    Tell(context, "left for the installation still registered: " + path);
    return Undo::Done;
  }
  return DeleteUnchanged(context, line, line.fields[1], false);
}

// Whether the open file holds what the digest of a line says.
bool Holds(platform::FileSystem& files, const platform::ScopedFile& file, const std::string& digestText) {
  platform::FileDigest recorded, present;
  return file.IsOpen() && platform::ParseDigest(digestText, &recorded) &&
         platform::DigestOpenFile(files, file.Get(), &present) == platform::kErrorSuccess && present == recorded;
}

// Puts the original back: the driver the install placed goes through its handle, then the copy kept
// takes its name through its own (never replacing what may be there by then). A copy that cannot be
// moved stays where it is, and so does the line, for a later run.
platform::ErrorCode PutBack(platform::FileSystem& files, platform::ScopedFile& placed, platform::ScopedFile& copy,
                            const std::string& path) {
  platform::ErrorCode restored = platform::kErrorSuccess;
  if (placed.IsOpen()) {
    restored = MarkToGo(files, placed.Get(), true);
    placed.Reset();  // it goes as its handle is closed
  }
  return restored == platform::kErrorSuccess ? files.RenameOpened(copy.Get(), path) : restored;
}

// The original comes back only while the copy kept is still the original, and the file there is
// still the one the install placed (or is gone). Both are opened once, as they are, where the line
// names them, then digested, and acted on through those handles alone.
Undo UndoFileReplaced(const UndoContext& context, const core::Effect& line) {
  const std::string &path = line.fields[0], &kept = line.fields[2];
  if (!IsAcadPlace(context, path) || IsFont(context, path) ||
      !platform::IsSamePath(kept, path + deploy::kOriginalSuffix, context.services.isLeadByte)) {
    return Refuse(context, line, "not the driver the install replaces and the copy it keeps");
  }
  if (context.leaveAcadFolders) {
    Tell(context, "left for the installation still registered: " + path);
    return Undo::Done;
  }
  platform::FileSystem& files = context.services.files;
  platform::ScopedFile placed(files), copy(files);
  bool placedElsewhere = false, keptElsewhere = false;
  const platform::ErrorCode placedOpened = OpenChecked(context, path, false, placed, &placedElsewhere);
  const platform::ErrorCode keptOpened = OpenChecked(context, kept, false, copy, &keptElsewhere);
  if (placedElsewhere || keptElsewhere) return Refuse(context, line, "it lies elsewhere, behind a link");
  for (const platform::ErrorCode opened : {placedOpened, keptOpened}) {
    if (opened != platform::kErrorSuccess && !IsGone(opened)) return Failure(context, opened, "put back", path);
  }
  const bool placedThere = Holds(files, placed, line.fields[1]), originalKept = Holds(files, copy, line.fields[3]);
  if (IsGone(keptOpened) && !placedThere) {
    Tell(context, "already put back: " + path);
    return Undo::Done;
  }
  if ((!placedThere && !IsGone(placedOpened)) || !originalKept) {
    Tell(context, "left as they are: " + path + " and " + kept +
                      (placedThere || IsGone(placedOpened) ? " (the copy kept changed)"
                                                           : " (the driver there is not the one the install placed)"));
    return Undo::Changed;
  }
  const platform::ErrorCode restored = PutBack(files, placed, copy, path);
  if (restored != platform::kErrorSuccess) return Failure(context, restored, "put back", path);
  Tell(context, "original put back: " + path);
  return Undo::Done;
}

// Whether `parts` match `pattern`, whose "*" stands for one part and "**" for one or more.
bool Matches(const Parts& parts, std::size_t at, const std::vector<const char*>& pattern, std::size_t from,
             platform::LeadByteTest lead) {
  if (from == pattern.size()) return at == parts.size();
  if (at == parts.size() || parts[at].empty()) return false;
  const std::string token = pattern[from];
  if (token == "**") {
    return Matches(parts, at + 1, pattern, from + 1, lead) || Matches(parts, at + 1, pattern, from, lead);
  }
  return (token == "*" || platform::EqualsIgnoringCase(parts[at], token, lead)) &&
         Matches(parts, at + 1, pattern, from + 1, lead);
}

bool Matches(const std::string& key, const std::vector<const char*>& pattern, platform::LeadByteTest lead) {
  return Matches(PartsOf(key, lead), 0, pattern, 0, lead);
}

bool IsEntryName(const std::string& name) {
  const bool year = name.size() >= 10 && name.compare(0, 6, "Vortel") == 0 &&
                    std::all_of(name.begin() + 6, name.begin() + 10,
                                [](char ch) { return std::isdigit(static_cast<unsigned char>(ch)); });
  return year && (name.size() == 10 || name.compare(10, std::string::npos, "_32") == 0);
}

// A product key below HKLM as the discovery records it: below one of AutoCAD's roots, ending in
// a backslash.
bool IsProductKey(const std::string& key, platform::LeadByteTest lead) {
  if (key.empty() || key.back() != '\\') return false;
  const std::string path = "HKLM\\" + key.substr(0, key.size() - 1);
  return Matches(path, {"HKLM", "SOFTWARE", "Autodesk", "AutoCAD", "**"}, lead) ||
         Matches(path, {"HKLM", "SOFTWARE", "Wow6432Node", "Autodesk", "AutoCAD", "**"}, lead);
}

const std::vector<const char*> kVariablesKey = {"HKCU", "Software", "Autodesk", "AutoCAD",  "*",
                                                "*",    "Profiles", "*",        "Variables"};

// The keys an install makes: a product's "Applications" key and its entries, a profile's
// "Variables" key, and the maintenance entries with the levels above them below SOFTWARE.
bool IsOwnKey(const UndoContext& context, const std::string& key) {
  const platform::LeadByteTest lead = context.services.isLeadByte;
  const Parts parts = PartsOf(key, lead);
  const bool plain = std::none_of(parts.begin(), parts.end(),
                                  [](const std::string& part) { return part.empty() || part == "." || part == ".."; });
  if (!plain || parts.size() < 3) return false;
  if (Matches(key, kVariablesKey, lead)) return true;
  const auto applications = std::find_if(parts.begin() + 1, parts.end(), [&](const std::string& part) {
    return platform::EqualsIgnoringCase(part, "Applications", lead);
  });
  if (applications != parts.end() && parts[0] == "HKLM") {
    std::string product;
    for (auto part = parts.begin() + 1; part != applications; ++part) product += *part + "\\";
    const std::size_t below = static_cast<std::size_t>(parts.end() - applications);
    return IsProductKey(product, lead) && (below == 1 || (below == 2 && IsEntryName(parts.back())));
  }
  // A maintenance key, or the level that holds it, which a user's own registry may lack.
  const auto ownOrHolder = [&](const std::string& entry) {
    const Parts own = PartsOf(entry, lead);
    return (own.size() == parts.size() || own.size() == parts.size() + 1) &&
           platform::BeginsWithParts(own, parts, lead);
  };
  return ownOrHolder(std::string("HKLM\\") + kUninstallKey) || ownOrHolder(std::string("HKCU\\") + kUninstallKey) ||
         ownOrHolder(std::string("HKLM\\") + kActiveSetupKey);
}

Undo UndoKeyMade(const UndoContext& context, const core::Effect& line) {
  const std::string& key = line.fields[0];
  if (!IsOwnKey(context, key)) return Refuse(context, line, "not a key the install makes");
  const platform::ErrorCode removed = core::RemoveKeyIfEmpty(context.services, key);
  if (removed == platform::kErrorDirNotEmpty) return Undo::Deferred;
  if (removed != platform::kErrorSuccess) return Failure(context, removed, "removed", key);
  Tell(context, "key removed: " + key);
  return Undo::Done;
}

Undo UndoLoaderWritten(const UndoContext& context, const core::Effect& line) {
  const std::string &product = line.fields[0], &entry = line.fields[1];
  const Parts entryParts = PartsOf(entry, context.services.isLeadByte);
  if (!IsProductKey(product, context.services.isLeadByte) || entryParts.size() != 2 ||
      entryParts[0] != "Applications" || !IsEntryName(entryParts[1])) {
    return Refuse(context, line, "not a loader entry the install writes");
  }
  return profile::UnregisterLoaderEntry(context.services, product, entry, context.folder, context.report) ==
                 platform::kErrorSuccess
             ? Undo::Done
             : Undo::Failed;
}

Undo UndoTrustedPathAdded(const UndoContext& context, const core::Effect& line) {
  const std::string& key = line.fields[0];
  if (!Matches("HKCU\\" + key, kVariablesKey, context.services.isLeadByte) ||
      (line.fields[1] != "0" && line.fields[1] != "1")) {
    return Refuse(context, line, "not a profile's Variables key");
  }
  return profile::UntrustFolder(context.services, key, context.folder, line.fields[1] == "0", context.report) ==
                 platform::kErrorSuccess
             ? Undo::Done
             : Undo::Failed;
}

// The step itself goes with the maintenance entries; its line tells that other users may trust
// the folder.
Undo UndoPerUserStep(const UndoContext& context, const core::Effect& line) {
  return platform::IsSamePath(line.fields[0], context.folder, context.services.isLeadByte)
             ? Undo::Done
             : Refuse(context, line, "not this installation folder");
}

// The place a temporary file stands beside: its path without the suffix the install gives such a
// file; empty for any other name.
std::string PlaceOfTemporary(const std::string& path) {
  for (const char* suffix : {deploy::kPartialSuffix, deploy::kReplacedSuffix}) {
    const std::size_t length = std::char_traits<char>::length(suffix);
    if (path.size() > length && path.compare(path.size() - length, length, suffix) == 0) {
      return path.substr(0, path.size() - length);
    }
  }
  return "";
}

// What a run wrote before moving it into place, or kept until it was over: whatever it holds, it
// goes while it stands beside a file of the installation folder or a place of the install in
// AutoCAD's folders, under the name the install gives it.
Undo UndoTemporaryFile(const UndoContext& context, const core::Effect& line) {
  const std::string& path = line.fields[0];
  const std::string place = PlaceOfTemporary(path);
  const bool inside = !place.empty() && platform::IsInsideFolder(place, context.folder, context.services.isLeadByte);
  if (!inside && (place.empty() || !IsAcadPlace(context, place))) {
    return Refuse(context, line, "not a temporary file of the install");
  }
  return DeleteUnchanged(context, line, "", inside);
}

const KindRow kKinds[] = {
    {core::EffectKind::FolderMade, "folder", 1, UndoFolder, 0b1},
    {core::EffectKind::FileCopied, "file", 2, UndoFileCopied, 0b1},
    {core::EffectKind::FilePlaced, "placed", 2, UndoFilePlaced, 0b1},
    {core::EffectKind::FileReplaced, "replaced", 4, UndoFileReplaced, 0b101},
    {core::EffectKind::KeyMade, "key", 1, UndoKeyMade, 0},
    {core::EffectKind::LoaderWritten, "loader", 2, UndoLoaderWritten, 0},
    {core::EffectKind::TrustedPathAdded, "trusted", 2, UndoTrustedPathAdded, 0},
    {core::EffectKind::PerUserStepWritten, "step", 1, UndoPerUserStep, 0b1},
    {core::EffectKind::TemporaryFile, "temporary", 1, UndoTemporaryFile, 0b1},
};

}  // namespace

const KindRow* FindKind(const std::string& name) {
  for (const KindRow& row : kKinds) {
    if (name == row.name) return &row;
  }
  return nullptr;
}

const KindRow& RowOf(core::EffectKind kind) {
  for (const KindRow& row : kKinds) {
    if (row.kind == kind) return row;
  }
  return kKinds[0];
}

bool IsGone(platform::ErrorCode error) {
  return error == platform::kErrorFileNotFound || error == platform::kErrorPathNotFound;
}

bool IsOwnFolder(const UndoContext& context, const std::string& folder) {
  const platform::LeadByteTest lead = context.services.isLeadByte;
  if (platform::IsSamePath(folder, context.folder, lead) || platform::IsInsideFolder(folder, context.folder, lead))
    return true;
  const auto made = [&](const std::string& level) {
    return std::any_of(context.folderLines.begin(), context.folderLines.end(),
                       [&](const std::string& line) { return platform::IsSamePath(line, level, lead); });
  };
  // Each level from the installation folder up to `folder` was made by the install: the levels
  // below one it made did not exist before it either.
  std::optional<std::string> level = context.folder;
  for (; level && made(*level) && platform::IsInsideFolder(*level, folder, lead);
       level = platform::FolderOf(*level, lead)) {
  }
  return level && made(*level) && platform::IsSamePath(*level, folder, lead);
}

bool HasPlainPaths(const core::Effect& line, platform::LeadByteTest isLeadByte) {
  const unsigned paths = RowOf(line.kind).pathFields;
  for (std::size_t field = 0; field < line.fields.size(); ++field) {
    if ((paths >> field & 1) != 0 && !platform::IsPlainPath(line.fields[field], isLeadByte)) return false;
  }
  return true;
}

Undo UndoLine(const UndoContext& context, const core::Effect& line) {
  if (!HasPlainPaths(line, context.services.isLeadByte)) return Refuse(context, line, "not a plain path");
  return RowOf(line.kind).undo(context, line);
}

platform::ErrorCode OpenChecked(const UndoContext& context, const std::string& path, bool inside,
                                platform::ScopedFile& entry, bool* elsewhere) {
  const platform::LeadByteTest lead = context.services.isLeadByte;
  *elsewhere = false;
  platform::ErrorCode opened = context.services.files.OpenEntry(path, entry.Receive());
  std::string final;
  if (opened == platform::kErrorSuccess) opened = context.services.files.FinalPathName(entry.Get(), &final);
  if (opened != platform::kErrorSuccess) {
    entry.Reset();
    return opened;
  }
  const bool there = inside
                         ? !context.finalFolder.empty() && (platform::IsSamePath(final, context.finalFolder, lead) ||
                                                            platform::IsInsideFolder(final, context.finalFolder, lead))
                         : platform::IsSamePath(final, path, lead);
  if (!there) {
    Tell(context, path + " is in truth " + final);
    entry.Reset();
    *elsewhere = true;
  }
  return there ? platform::kErrorSuccess : platform::kErrorAccessDenied;
}

}  // namespace journal
