#include "platform/paths.h"

#include <algorithm>
#include <cctype>
#include <vector>

namespace platform {
namespace {

// "C:" or "\\server\share" (in its case as written), and the rest of a full path below it.
bool SplitRoot(const std::string& path, std::string& root, std::string& rest, LeadByteTest isLeadByte) {
  if (path.size() >= 3 && path[1] == ':' && path[2] == '\\' && std::isalpha(static_cast<unsigned char>(path[0]))) {
    root = path.substr(0, 2);
    rest = path.substr(3);
    return true;
  }
  if (path.rfind("\\\\", 0) != 0) return false;
  const std::vector<std::string> parts = SplitAtCharacter(path.substr(2), '\\', isLeadByte);
  if (parts.size() < 2 || parts[0].empty() || parts[1].empty() || parts[0] == "." || parts[0] == "?") return false;
  root = "\\\\" + parts[0] + "\\" + parts[1];
  rest = path.size() > root.size() ? path.substr(root.size() + 1) : "";
  return true;
}

bool IsPlainName(const std::string& part) { return part.find_first_of(":*?\"<>|") == std::string::npos; }

// CON, PRN, AUX, NUL, COM0 to COM9, LPT0 to LPT9, CONIN$ and CONOUT$, as the part before its first
// dot (blanks before the dot dropped), in any case.
bool IsDeviceName(const std::string& part, LeadByteTest isLeadByte) {
  std::string base = part.substr(0, part.find('.'));
  base.erase(base.find_last_not_of(' ') + 1);
  ToUpperByCharacters(base, isLeadByte);
  if (base == "CON" || base == "PRN" || base == "AUX" || base == "NUL" || base == "CONIN$" || base == "CONOUT$")
    return true;
  return base.size() == 4 && (base.compare(0, 3, "COM") == 0 || base.compare(0, 3, "LPT") == 0) &&
         std::isdigit(static_cast<unsigned char>(base[3]));
}

bool IsPlainPart(const std::string& part, LeadByteTest isLeadByte) {
  return !part.empty() && part.back() != '.' && part.back() != ' ' && IsPlainName(part) &&
         !IsDeviceName(part, isLeadByte);
}

}  // namespace

std::string InFolder(const std::string& folder, const std::string& name) { return folder + "\\" + name; }

std::optional<std::string> ProgramPath(FileSystem& files) {
  char buffer[kMaxPath + 1] = {};
  const std::uint32_t length = files.ModuleFileName(buffer, sizeof buffer);
  if (length == 0 || length >= sizeof buffer) return std::nullopt;
  return std::string(buffer, length);
}

std::optional<std::string> FolderOf(const std::string& path, LeadByteTest isLeadByte) {
  const std::size_t separator = FindLastCharacter(path, '\\', isLeadByte);
  if (separator == std::string::npos) return std::nullopt;
  return path.substr(0, separator);
}

std::string NameOf(const std::string& path, LeadByteTest isLeadByte) {
  const std::size_t separator = FindLastCharacter(path, '\\', isLeadByte);
  return separator == std::string::npos ? path : path.substr(separator + 1);
}

std::optional<std::string> ResolvedPath(const std::string& path, LeadByteTest isLeadByte) {
  std::string root, rest;
  if (!SplitRoot(path, root, rest, isLeadByte) || !IsPlainName(rest)) return std::nullopt;
  std::vector<std::string> kept;
  for (const std::string& part : SplitAtCharacter(rest, '\\', isLeadByte)) {
    if (part.empty() || part == ".") continue;
    if (part != "..") {
      kept.push_back(part);
    } else if (kept.empty()) {
      return std::nullopt;
    } else {
      kept.pop_back();
    }
  }
  std::string resolved = root;
  for (const std::string& part : kept) resolved += "\\" + part;
  return resolved;
}

bool IsPlainPath(const std::string& path, LeadByteTest isLeadByte) {
  const bool controlOrSlash = std::any_of(path.begin(), path.end(), [](char ch) {
    return static_cast<unsigned char>(ch) < 0x20 || ch == 0x7F || ch == '/';
  });
  std::string root, rest;
  if (controlOrSlash || !SplitRoot(path, root, rest, isLeadByte) || rest.empty()) return false;
  // A share's server and share name are parts like the others.
  const std::vector<std::string> parts =
      SplitAtCharacter(root[0] == '\\' ? root.substr(2) + "\\" + rest : rest, '\\', isLeadByte);
  return std::all_of(parts.begin(), parts.end(),
                     [&](const std::string& part) { return IsPlainPart(part, isLeadByte); });
}

bool BeginsWithParts(const std::vector<std::string>& parts, const std::vector<std::string>& head,
                     LeadByteTest isLeadByte) {
  if (head.size() > parts.size()) return false;
  for (std::size_t n = 0; n < head.size(); ++n) {
    if (!EqualsIgnoringCase(parts[n], head[n], isLeadByte)) return false;
  }
  return true;
}

bool IsInsideFolder(const std::string& path, const std::string& folder, LeadByteTest isLeadByte) {
  const std::optional<std::string> inner = ResolvedPath(path, isLeadByte);
  const std::optional<std::string> outer = ResolvedPath(folder, isLeadByte);
  if (!inner || !outer) return false;
  const std::vector<std::string> innerParts = SplitAtCharacter(*inner, '\\', isLeadByte);
  const std::vector<std::string> outerParts = SplitAtCharacter(*outer, '\\', isLeadByte);
  return innerParts.size() > outerParts.size() && BeginsWithParts(innerParts, outerParts, isLeadByte);
}

bool IsSamePath(const std::string& a, const std::string& b, LeadByteTest isLeadByte) {
  const std::optional<std::string> first = ResolvedPath(a, isLeadByte);
  const std::optional<std::string> second = ResolvedPath(b, isLeadByte);
  return first && second && EqualsIgnoringCase(*first, *second, isLeadByte);
}

bool IsSameFolder(FileSystem& files, const std::string& a, const std::string& b, LeadByteTest isLeadByte) {
  if (IsSamePath(a, b, isLeadByte)) return true;
  FileId first, second;
  return files.Identify(a, &first) == kErrorSuccess && files.Identify(b, &second) == kErrorSuccess && first == second;
}

std::string LongSpelling(FileSystem& files, const std::string& path) {
  char buffer[kMaxPath];
  const std::uint32_t length = files.LongPathName(path, buffer, sizeof buffer);
  return length > 0 && length < sizeof buffer ? std::string(buffer, length) : path;
}

std::vector<std::string> MakeFolderLevels(FileSystem& files, const std::string& folder, LeadByteTest isLeadByte,
                                          bool protect) {
  // The drive ("C:") is no level to make, and neither is a share ("\\\\server\\share").
  const std::vector<std::string> parts = SplitAtCharacter(folder, '\\', isLeadByte);
  const std::size_t first = folder.rfind("\\\\", 0) == 0 ? 4 : 1;
  std::vector<std::string> made;
  std::string level;
  for (std::size_t part = 0; part < parts.size(); ++part) {
    level += (part == 0 ? "" : "\\") + parts[part];
    if (part < first || parts[part].empty()) continue;
    const ErrorCode result = protect ? files.MakeProtectedDirectory(level) : files.MakeDirectory(level);
    if (result == kErrorSuccess) made.push_back(level);
    if (result != kErrorSuccess && result != kErrorAlreadyExists) break;
  }
  return made;
}

}  // namespace platform
