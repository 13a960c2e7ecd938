#include "journal/journal.h"

#include <algorithm>

#include "journal/kinds.h"
#include "platform/file_contents.h"
#include "platform/format.h"
#include "platform/multibyte.h"
#include "platform/paths.h"

namespace journal {
namespace {

const char kHeader[] = "Vortel install journal 2\r\n";
const char kNewSuffix[] = ".new";
constexpr std::size_t kMaxJournalBytes = 4 * 1024 * 1024;

std::string PathOf(const std::string& folder) { return platform::InFolder(folder, kJournalName); }

// A line of the journal: its kind's name and its fields, separated by tabs, ended by CR LF; empty
// when a field would break the line apart.
std::string TextOf(const core::Effect& effect) {
  std::string text = KindName(effect.kind);
  for (const std::string& field : effect.fields) {
    if (field.empty() || field.find_first_of("\t\r\n") != std::string::npos) return "";
    text += "\t" + field;
  }
  return text + "\r\n";
}

// A line's effect, when it is one of the journal's kinds with its number of fields.
bool ParseLine(const std::string& text, core::Effect* effect) {
  std::vector<std::string> fields(1);
  for (const char ch : text) {
    if (ch == '\t') {
      fields.emplace_back();
    } else {
      fields.back() += ch;
    }
  }
  const KindRow* row = FindKind(fields[0]);
  if (row == nullptr || fields.size() != row->fields + 1 ||
      std::any_of(fields.begin() + 1, fields.end(), [](const std::string& field) { return field.empty(); })) {
    return false;
  }
  *effect = core::Effect{row->kind, std::vector<std::string>(fields.begin() + 1, fields.end())};
  return true;
}

std::string JournalText(const Lines& lines) {
  std::string text = kHeader;
  for (const core::Effect& line : lines) text += TextOf(line);
  return text;
}

}  // namespace

const char* KindName(core::EffectKind kind) { return RowOf(kind).name; }

ReadResult ReadJournal(const platform::Services& services, const std::string& folder, Lines* lines) {
  std::string text;
  const platform::ErrorCode read = platform::ReadWholeFile(services.files, PathOf(folder), kMaxJournalBytes, &text);
  if (read == platform::kErrorFileNotFound || read == platform::kErrorPathNotFound) return ReadResult::Missing;
  if (read != platform::kErrorSuccess || text.compare(0, sizeof kHeader - 1, kHeader) != 0)
    return ReadResult::Unreadable;
  lines->clear();
  // Every line ends with CR LF: a journal cut short shows.
  for (std::size_t start = sizeof kHeader - 1; start < text.size();) {
    const std::size_t end = text.find("\r\n", start);
    core::Effect effect;
    if (end == std::string::npos || !ParseLine(text.substr(start, end - start), &effect)) return ReadResult::Unreadable;
    lines->push_back(effect);
    start = end + 2;
  }
  return ReadResult::Read;
}

JournalFile::JournalFile(const platform::Services& services, std::string folder, core::Report& log)
    : m_services(services), m_folder(std::move(folder)), m_log(log), m_file(services.files) {}

void JournalFile::Done(const core::Effect& effect) {
  const std::string line = TextOf(effect);
  platform::ErrorCode written = line.empty() ? platform::kErrorInvalidParameter : platform::kErrorSuccess;
  if (written == platform::kErrorSuccess && !m_file.IsOpen()) {
    // A journal made now begins with its first line; one there already is written on at its end.
    std::uint64_t size = 0;
    const platform::ErrorCode present = platform::SizeOfFile(m_services.files, PathOf(m_folder), &size);
    const bool fresh = present == platform::kErrorFileNotFound || (present == platform::kErrorSuccess && size == 0);
    written = fresh || present == platform::kErrorSuccess ? platform::kErrorSuccess : present;
    if (written == platform::kErrorSuccess) {
      written = m_services.files.CreateFileForWriting(PathOf(m_folder), platform::WriteMode::Append, m_file.Receive());
    }
    if (written == platform::kErrorSuccess && fresh) written = m_services.files.WriteToFile(m_file.Get(), kHeader);
    if (written != platform::kErrorSuccess) m_file.Reset();
  }
  if (written == platform::kErrorSuccess) written = m_services.files.WriteToFile(m_file.Get(), line);
  if (written == platform::kErrorSuccess) {
    m_written.push_back(effect);
    return;
  }
  m_error += written;
  m_log.Line(platform::FormatText("not written to the journal %s (error %ld): %s %s", PathOf(m_folder).c_str(), written,
                                  KindName(effect.kind), effect.fields.empty() ? "" : effect.fields[0].c_str()));
}

platform::ErrorCode RewriteJournal(const platform::Services& services, const std::string& folder, const Lines& lines) {
  platform::FileSystem& files = services.files;
  if (lines.empty()) {
    const platform::ErrorCode deleted = files.Delete(PathOf(folder));
    return deleted == platform::kErrorFileNotFound ? platform::kErrorSuccess : deleted;
  }
  const std::string fresh = PathOf(folder) + kNewSuffix;
  platform::ErrorCode written;
  {
    platform::ScopedFile file(files);
    written = files.CreateFileForWriting(fresh, platform::WriteMode::Replace, file.Receive());
    if (written == platform::kErrorSuccess) written = files.WriteToFile(file.Get(), JournalText(lines));
    if (written == platform::kErrorSuccess) written = files.FlushFile(file.Get());
  }
  if (written == platform::kErrorSuccess) {
    written = files.Move(fresh, PathOf(folder), platform::kMoveReplaceExisting | platform::kMoveWriteThrough);
  }
  if (written != platform::kErrorSuccess) files.Delete(fresh);
  return written;
}

}  // namespace journal
