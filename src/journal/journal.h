// The install's journal, "Uninstall.dat" in the installation folder: every effect of every
// install into the folder that the uninstall must undo, one line each, in the order done, with
// what is needed to undo it and to check that undoing it is still right. Lines are appended as
// the install goes and never taken back but by a rewrite that keeps what is still to undo; a
// journal that cannot be read whole is not guessed at.
#pragma once

#include <string>
#include <vector>

#include "core/report.h"
#include "platform/services.h"

namespace journal {

inline constexpr char kJournalName[] = "Uninstall.dat";

using Lines = std::vector<core::Effect>;

enum class ReadResult { Read, Missing, Unreadable };

// The lines of the journal of `folder`.
ReadResult ReadJournal(const platform::Services& services, const std::string& folder, Lines* lines);

// The journal a run writes: each effect reported is appended to the journal of the folder (made,
// with its first line, when there is none) and kept; lines of the log go on to `log`.
class JournalFile final : public core::Report {
 public:
  JournalFile(const platform::Services& services, std::string folder, core::Report& log);

  void Line(const std::string& text) override { m_log.Line(text); }
  void LastLine(const std::string& text) override { m_log.LastLine(text); }
  // Appends the effect's line; one that cannot be written is logged and remembered.
  void Done(const core::Effect& effect) override;

  // The error of the first line that could not be written, and the lines this run wrote.
  platform::ErrorCode Error() const { return m_error.Get(); }
  const Lines& Written() const { return m_written; }

 private:
  const platform::Services& m_services;
  const std::string m_folder;
  core::Report& m_log;
  platform::ScopedFile m_file;
  Lines m_written;
  platform::FirstError m_error;
};

// Replaces the journal of `folder` with `lines` (written whole to a new file that is then moved
// over it), or deletes it when there are none.
platform::ErrorCode RewriteJournal(const platform::Services& services, const std::string& folder, const Lines& lines);

// The journal's name of a kind of line ("file", "loader"...), and the kind of a name.
const char* KindName(core::EffectKind kind);

}  // namespace journal
