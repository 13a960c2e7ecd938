// Paths as the program forms and checks them: the program's own file and folder, a folder's
// parts, and whether a path lies inside a folder. Every separator is found by the multibyte
// rules (a GBK trail byte may equal '\').
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "platform/file_system.h"
#include "platform/multibyte.h"

namespace platform {

// `folder` + "\" + `name`.
std::string InFolder(const std::string& folder, const std::string& name);

// The path of the running program; nothing when it cannot be read whole (a path cut short
// names some other file).
std::optional<std::string> ProgramPath(FileSystem& files);

// The folder that holds `path` (without a trailing backslash), and the name in it; a path
// without a separator has no folder.
std::optional<std::string> FolderOf(const std::string& path, LeadByteTest isLeadByte);
std::string NameOf(const std::string& path, LeadByteTest isLeadByte);

// A full path ("C:\..." or "\\server\share\...") with its "." and ".." resolved and doubled
// separators folded; nothing for a path that is not full, climbs above its root, or names a
// stream, a device or a wildcard.
std::optional<std::string> ResolvedPath(const std::string& path, LeadByteTest isLeadByte);

// Whether a path read back (from the journal) is plain, as Windows would take it byte for byte: a
// full path below a drive ("C:\...") or a share ("\\server\share\..."), no "\\?\" or "\\.\"
// prefix, no '/', no control character, no empty part, no part ending in a dot or a blank (so no
// "." or ".."), no stream, wildcard or quote, and no device name (CON, NUL, COM1...) as any part,
// with or without an extension. Windows folds or cuts what any of these would make of a path.
bool IsPlainPath(const std::string& path, LeadByteTest isLeadByte);

// Whether the parts of a path begin with every part of `head`, names compared as Windows compares
// them.
bool BeginsWithParts(const std::vector<std::string>& parts, const std::vector<std::string>& head,
                     LeadByteTest isLeadByte);

// Whether `path` lies strictly inside `folder`, both resolved, on the same drive or share, names
// compared as Windows compares them.
bool IsInsideFolder(const std::string& path, const std::string& folder, LeadByteTest isLeadByte);

// Whether two paths name the same file or folder, once resolved.
bool IsSamePath(const std::string& a, const std::string& b, LeadByteTest isLeadByte);

// Whether two paths name the same folder (or file): spelt alike once resolved, or one and the same
// object of the file system (a short 8.3 name, another drive letter for it, a link to it).
bool IsSameFolder(FileSystem& files, const std::string& a, const std::string& b, LeadByteTest isLeadByte);

// An existing path in its full long spelling, every short (8.3) part replaced; the path as given
// when it cannot be told.
std::string LongSpelling(FileSystem& files, const std::string& path);

// Makes a folder and every missing folder above it, from the root down (_mkdir, or with
// `protect` each with the protected access list); an existing folder is left as it is. Stops at
// the first level that cannot be made. The folders it made, parents first.
std::vector<std::string> MakeFolderLevels(FileSystem& files, const std::string& folder, LeadByteTest isLeadByte,
                                          bool protect = false);

}  // namespace platform
