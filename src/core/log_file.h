// The log of a run: what it found, chose and did, for a person to read after a failed deployment.
#pragma once

#include <cstdint>
#include <string>

#include "core/report.h"
#include "platform/services.h"

namespace core {

// The log written to a file as UTF-8 with a byte-order mark, each line as it comes, so that a
// run that ends abruptly leaves what it did. A line longer than kMaxLineBytes is cut; once the
// file holds kMaxFileBytes, further lines are left out save the last, which tells the outcome.
// A log that cannot be written writes nothing, and the run goes on.
class LogFile final : public Report {
 public:
  static constexpr std::size_t kMaxLineBytes = 1024;
  static constexpr std::size_t kMaxFileBytes = 1024 * 1024;

  // Opens `asked`, made anew (or written on at its end when `append`) with the missing folders
  // above it; when it is empty or cannot be written, a new file in the temporary folder named
  // after `kind`, the date and a counter ("Vortel-Setup-20261207-1.log"), whose first line then
  // says why.
  LogFile(const platform::Services& services, const std::string& asked, const char* kind, bool append = false);

  void Line(const std::string& text) override;
  // Written whatever the file holds already.
  void LastLine(const std::string& text) override;
  // A line already in UTF-8, written as it is.
  void Utf8Line(const std::string& text);
  // Where the log is written; "" when it could not be opened.
  const std::string& Path() const { return m_path; }

 private:
  bool OpenAsked(const std::string& asked, bool append);
  void OpenInTemporaryFolder(const char* kind);
  void Write(const std::string& utf8);

  const platform::Services& m_services;
  platform::ScopedFile m_file;
  std::string m_path;
  std::size_t m_written = 0;
  bool m_full = false;
};

}  // namespace core
