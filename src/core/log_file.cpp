#include "core/log_file.h"

#include "platform/format.h"

namespace core {
namespace {

const char kByteOrderMark[] = "\xEF\xBB\xBF";
// A log in the temporary folder takes the first free counter below this.
constexpr int kMaxLogsADay = 1000;

}  // namespace

LogFile::LogFile(const platform::Services& services, const std::string& path)
    : m_services(services), m_file(services.files) {
  platform::ErrorCode opened = 1;
  if (!path.empty()) {
    opened = services.files.CreateFileForWriting(path, false, m_file.Receive());
    m_path = path;
  } else if (const std::string folder = services.environment.TempFolder(); !folder.empty()) {
    const platform::LocalTime today = services.environment.Now();
    for (int counter = 1; counter < kMaxLogsADay; ++counter) {
      m_path = platform::FormatText("%sVortel-Setup-%04d%02d%02d-%d.log", folder.c_str(), today.year,
                                    today.month, today.day, counter);
      opened = services.files.CreateFileForWriting(m_path, true, m_file.Receive());
      if (opened != platform::kErrorFileExists) break;
    }
  }
  if (opened != platform::kErrorSuccess) {
    m_file.Reset();
    m_path.clear();
    return;
  }
  services.files.WriteToFile(m_file.Get(), kByteOrderMark);
}

void LogFile::Line(const std::string& text) {
  if (m_full) return;
  std::string line = text.size() > kMaxLineBytes ? text.substr(0, kMaxLineBytes) + " [...]" : text;
  if (m_written + line.size() + 2 > kMaxFileBytes) {
    m_full = true;
    line = "[the log is full: further lines are left out]";
  }
  Write(line);
}

void LogFile::LastLine(const std::string& text) { Write(text); }

void LogFile::Write(std::string text) {
  if (!m_file.IsOpen()) return;
  text = m_services.environment.ToUtf8(text) + "\r\n";
  m_written += text.size();
  m_services.files.WriteToFile(m_file.Get(), text);
}

}  // namespace core
