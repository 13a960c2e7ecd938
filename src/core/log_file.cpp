#include "core/log_file.h"

#include "platform/format.h"
#include "platform/paths.h"

namespace core {
namespace {

const char kByteOrderMark[] = "\xEF\xBB\xBF";
// A log in the temporary folder takes the first free counter below this.
constexpr int kMaxLogsADay = 1000;

}  // namespace

LogFile::LogFile(const platform::Services& services, const std::string& asked, const char* kind, bool append)
    : m_services(services), m_file(services.files) {
  if (!asked.empty() && OpenAsked(asked, append)) return;
  OpenInTemporaryFolder(kind);
  if (!asked.empty() && m_file.IsOpen()) {
    Line("the log asked for, " + asked + ", cannot be written: it is written here instead");
  }
}

bool LogFile::OpenAsked(const std::string& asked, bool append) {
  const platform::WriteMode mode = append ? platform::WriteMode::Append : platform::WriteMode::Replace;
  platform::ErrorCode opened = m_services.files.CreateFileForWriting(asked, mode, m_file.Receive());
  if (opened == platform::kErrorPathNotFound) {
    if (const auto folder = platform::FolderOf(asked, m_services.isLeadByte)) {
      platform::MakeFolderLevels(m_services.files, *folder, m_services.isLeadByte);
      opened = m_services.files.CreateFileForWriting(asked, mode, m_file.Receive());
    }
  }
  if (opened != platform::kErrorSuccess) return false;
  m_path = asked;
  if (!append) Write(kByteOrderMark);
  return true;
}

void LogFile::OpenInTemporaryFolder(const char* kind) {
  const std::string folder = m_services.environment.TempFolder();
  if (folder.empty()) return;
  const platform::LocalTime today = m_services.environment.Now();
  for (int counter = 1; counter < kMaxLogsADay; ++counter) {
    const std::string path = platform::FormatText("%s%s-%04d%02d%02d-%d.log", folder.c_str(), kind, today.year,
                                                  today.month, today.day, counter);
    const platform::ErrorCode opened =
        m_services.files.CreateFileForWriting(path, platform::WriteMode::New, m_file.Receive());
    if (opened == platform::kErrorSuccess) {
      m_path = path;
      Write(kByteOrderMark);
      return;
    }
    if (opened != platform::kErrorFileExists) return;
  }
}

void LogFile::Line(const std::string& text) {
  if (m_full) return;
  std::string line = text.size() > kMaxLineBytes ? text.substr(0, kMaxLineBytes) + " [...]" : text;
  if (m_written + line.size() + 2 > kMaxFileBytes) {
    m_full = true;
    line = "[the log is full: further lines are left out]";
  }
  Write(m_services.environment.ToUtf8(line) + "\r\n");
}

void LogFile::LastLine(const std::string& text) { Write(m_services.environment.ToUtf8(text) + "\r\n"); }

void LogFile::Utf8Line(const std::string& text) { Write(text + "\r\n"); }

void LogFile::Write(const std::string& utf8) {
  if (!m_file.IsOpen()) return;
  m_written += utf8.size();
  m_services.files.WriteToFile(m_file.Get(), utf8);
}

}  // namespace core
