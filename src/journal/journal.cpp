#include "journal/journal.h"

#include <algorithm>
#include <map>

#include "journal/kinds.h"
#include "platform/file_contents.h"
#include "platform/format.h"
#include "platform/multibyte.h"
#include "platform/paths.h"

namespace journal {
namespace {

const char kHeader[] = "Vortel install journal 3\r\n";
const char kNewSuffix[] = ".new";
// Ten times what the largest package's journal holds.
constexpr std::size_t kMaxJournalBytes = 1024 * 1024;

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

bool SameLines(const Lines& a, const Lines& b) {
  return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](const core::Effect& x, const core::Effect& y) {
    return x.kind == y.kind && x.fields == y.fields;
  });
}

// Names in the log a last line that is left out, cut short while it was written.
void TellCut(core::Report* log, const std::string& cut) {
  if (log != nullptr) log->Line("the journal's last line was cut short and is left out: " + cut);
}

}  // namespace

const char* KindName(core::EffectKind kind) { return RowOf(kind).name; }

// A file in AutoCAD's folders is one whether it was placed over nothing or over a file kept.
std::string IdentityOf(const core::Effect& line, platform::LeadByteTest isLeadByte) {
  const bool acadFile = line.kind == core::EffectKind::FilePlaced || line.kind == core::EffectKind::FileReplaced;
  std::string identity = acadFile ? std::string("acad") : KindName(line.kind);
  identity += "\t" + line.fields[0];
  if (line.kind == core::EffectKind::LoaderWritten) identity += "\t" + line.fields[1];
  platform::ToUpperByCharacters(identity, isLeadByte);
  return identity;
}

ReadResult ReadJournal(const platform::Services& services, const std::string& folder, Lines* lines, core::Report* log) {
  std::string text;
  const platform::ErrorCode read = platform::ReadWholeFile(services.files, PathOf(folder), kMaxJournalBytes, &text);
  if (read == platform::kErrorFileNotFound || read == platform::kErrorPathNotFound) return ReadResult::Missing;
  lines->clear();
  // A first line cut short: a journal begun, with nothing in it yet.
  const bool cutHeader = !text.empty() && text.size() < sizeof kHeader - 1 && std::string(kHeader).rfind(text, 0) == 0;
  if (read == platform::kErrorSuccess && cutHeader) TellCut(log, text);
  if (read == platform::kErrorSuccess && cutHeader) return ReadResult::Read;
  if (read != platform::kErrorSuccess || text.compare(0, sizeof kHeader - 1, kHeader) != 0)
    return ReadResult::Unreadable;
  // Every line ends with CR LF: one without is the last, cut short while it was written.
  for (std::size_t start = sizeof kHeader - 1; start < text.size();) {
    const std::size_t end = text.find("\r\n", start);
    if (end == std::string::npos) {
      TellCut(log, text.substr(start));
      break;
    }
    core::Effect effect;
    if (!ParseLine(text.substr(start, end - start), &effect)) return ReadResult::Unreadable;
    lines->push_back(effect);
    start = end + 2;
  }
  return ReadResult::Read;
}

Lines Compact(const Lines& lines, platform::LeadByteTest isLeadByte) {
  Lines compacted;
  std::map<std::string, std::size_t> at;
  for (const core::Effect& line : lines) {
    const auto [known, added] = at.emplace(IdentityOf(line, isLeadByte), compacted.size());
    if (added) {
      compacted.push_back(line);
    } else if (line.kind != core::EffectKind::TrustedPathAdded) {  // whether the list was there: the first knew
      compacted[known->second] = line;
    }
  }
  return compacted;
}

JournalFile::JournalFile(const platform::Services& services, std::string folder, Lines earlier, core::Report& log)
    : m_services(services),
      m_folder(std::move(folder)),
      m_earlier(Compact(earlier, services.isLeadByte)),
      m_log(log),
      m_file(services.files) {}

// The journal written anew with what it held before, then opened to write on at its end.
platform::ErrorCode JournalFile::Begin() {
  m_begun = true;
  const platform::ErrorCode begun = RewriteJournal(m_services, m_folder, m_earlier);
  return begun == platform::kErrorSuccess ? OpenToWriteOn(m_earlier.empty()) : begun;
}

// Opens the journal, just written whole, to write on at its end; made anew with its header when
// it holds no line (and so is not there).
platform::ErrorCode JournalFile::OpenToWriteOn(bool fresh) {
  platform::ErrorCode opened = m_services.files.CreateFileForWriting(
      PathOf(m_folder), fresh ? platform::WriteMode::Replace : platform::WriteMode::Append, m_file.Receive());
  if (opened == platform::kErrorSuccess && fresh) opened = m_services.files.WriteToFile(m_file.Get(), kHeader);
  if (opened != platform::kErrorSuccess) m_file.Reset();
  return opened;
}

platform::ErrorCode JournalFile::Done(const core::Effect& effect) {
  const std::string line = TextOf(effect);
  platform::ErrorCode written = line.empty() ? platform::kErrorInvalidParameter : platform::kErrorSuccess;
  if (!line.empty()) m_written.push_back(effect);      // done, whether its line reaches the file now or at the end
  if (m_finished && !m_finishedEmpty) return written;  // one not written whole is not written on
  if (written == platform::kErrorSuccess && !m_begun) written = Begin();
  if (written == platform::kErrorSuccess && m_finished && !m_file.IsOpen()) written = OpenToWriteOn(*m_finishedEmpty);
  if (written == platform::kErrorSuccess && !m_file.IsOpen()) written = platform::kErrorInvalidHandle;
  if (written == platform::kErrorSuccess) written = m_services.files.WriteToFile(m_file.Get(), line);
  if (written == platform::kErrorSuccess) return written;
  m_error += written;
  m_log.Line(platform::FormatText("not written to the journal %s (error %ld): %s %s", PathOf(m_folder).c_str(), written,
                                  KindName(effect.kind), effect.fields.empty() ? "" : effect.fields[0].c_str()));
  return written;
}

void JournalFile::Undone(const core::Effect& effect) {
  for (Lines* lines : {&m_written, &m_earlier}) {
    const auto line = std::find_if(lines->rbegin(), lines->rend(), [&](const core::Effect& written) {
      return written.kind == effect.kind && written.fields == effect.fields;
    });
    if (line != lines->rend()) {
      lines->erase(std::next(line).base());
      return;
    }
  }
}

platform::ErrorCode JournalFile::Finish() {
  Close();
  m_finished = true;
  Lines lines = m_earlier;
  lines.insert(lines.end(), m_written.begin(), m_written.end());
  lines = Compact(lines, m_services.isLeadByte);
  lines.erase(std::remove_if(lines.begin(), lines.end(),
                             [&](const core::Effect& line) {
                               return line.kind == core::EffectKind::TemporaryFile &&
                                      m_services.files.GetAttributes(line.fields[0]) ==
                                          platform::kInvalidFileAttributes;
                             }),
              lines.end());
  platform::ErrorCode finished = RewriteJournal(m_services, m_folder, lines);
  Lines readBack;
  if (finished == platform::kErrorSuccess &&
      (ReadJournal(m_services, m_folder, &readBack) != ReadResult::Read || !SameLines(readBack, lines))) {
    finished = platform::kErrorInvalidData;
  }
  m_finishedEmpty.reset();
  if (finished == platform::kErrorSuccess) m_finishedEmpty = lines.empty();
  if (finished != platform::kErrorSuccess) {
    m_log.Line(platform::FormatText("the journal %s could not be written whole (error %ld)", PathOf(m_folder).c_str(),
                                    finished));
  }
  return finished;
}

platform::ErrorCode RewriteJournal(const platform::Services& services, const std::string& folder, const Lines& lines) {
  platform::FileSystem& files = services.files;
  const std::string fresh = PathOf(folder) + kNewSuffix;
  if (lines.empty()) {
    files.Delete(fresh);  // what a run killed while it wrote one left
    const platform::ErrorCode deleted = files.Delete(PathOf(folder));
    return deleted == platform::kErrorFileNotFound ? platform::kErrorSuccess : deleted;
  }
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
