// The install's journal, "Uninstall.dat" in the installation folder: every effect of the installs
// into the folder that the uninstall must undo, one line each, in the order first done, with what
// is needed to undo it and to check that undoing it is still right. Each install writes it anew,
// whole: what it held before, one line per effect (a file with its newest digest), then the run's
// own lines appended as the run goes, and the whole once more at the end. A journal whose last line
// was cut short is read without that line; one that cannot be read otherwise is not guessed at.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "core/report.h"
#include "platform/services.h"

namespace journal {

inline constexpr char kJournalName[] = "Uninstall.dat";

using Lines = std::vector<core::Effect>;

enum class ReadResult { Read, Missing, Unreadable };

// The lines of the journal of `folder`. A last line cut short (with no end) is left out, and named
// in `log`.
ReadResult ReadJournal(const platform::Services& services, const std::string& folder, Lines* lines,
                       core::Report* log = nullptr);

// What makes two lines one effect: the thing they name (a file, a key, a loader entry...).
std::string IdentityOf(const core::Effect& line, platform::LeadByteTest isLeadByte);

// One line per effect, in the order first done: a later line of the same file, key, loader entry,
// list or folder takes the place of the earlier one.
Lines Compact(const Lines& lines, platform::LeadByteTest isLeadByte);

// The journal a run writes: what the journal held before (`earlier`) is written anew once the run
// does something; each effect reported then is appended and kept; lines of the log go on to `log`.
class JournalFile final : public core::Report {
 public:
  JournalFile(const platform::Services& services, std::string folder, Lines earlier, core::Report& log);

  void Line(const std::string& text) override { m_log.Line(text); }
  void LastLine(const std::string& text) override { m_log.LastLine(text); }
  // Appends the effect's line; one that cannot be written is logged and remembered, and its error
  // given. After Finish the line is appended to what it wrote whole, and kept for the next Finish
  // (only kept, when it could not write the journal whole).
  platform::ErrorCode Done(const core::Effect& effect) override;
  // Takes the effect's line (this run's, else one from before) out of what the journal is written
  // with at the end.
  void Undone(const core::Effect& effect) override;

  // Writes the whole journal anew, compacted, without the temporary files that are gone, and reads
  // it back: the error when it cannot be written or does not read back as written (logged).
  platform::ErrorCode Finish();
  // Lets go of the open journal (before anyone else rewrites it).
  void Close() { m_file.Reset(); }

  // The error of the first line that could not be written; the lines before the run; this run's.
  platform::ErrorCode Error() const { return m_error.Get(); }
  const Lines& Earlier() const { return m_earlier; }
  const Lines& Written() const { return m_written; }
  const std::string& Folder() const { return m_folder; }

 private:
  platform::ErrorCode Begin();
  platform::ErrorCode OpenToWriteOn(bool fresh);

  const platform::Services& m_services;
  const std::string m_folder;
  Lines m_earlier;
  core::Report& m_log;
  platform::ScopedFile m_file;
  bool m_begun = false;
  bool m_finished = false;
  std::optional<bool> m_finishedEmpty;  // whether the journal last written whole held no line; none when it failed
  Lines m_written;
  platform::FirstError m_error;
};

// Replaces the journal of `folder` with `lines` (written whole to a new file, flushed, then moved
// over it), or deletes it when there are none.
platform::ErrorCode RewriteJournal(const platform::Services& services, const std::string& folder, const Lines& lines);

// The journal's name of a kind of line ("file", "loader"...), and the kind of a name.
const char* KindName(core::EffectKind kind);

}  // namespace journal
