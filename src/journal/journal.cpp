#include "journal/journal.h"

#include <algorithm>
#include <iterator>

namespace journal {
namespace {

const char kHeader[] = "Vortel install record 1\r\n";
constexpr std::size_t kMaxRecordBytes = 4 * 1024 * 1024;

std::vector<std::string> Split(const std::string& line, char separator) {
  std::vector<std::string> fields(1);
  for (const char ch : line) {
    if (ch == separator) fields.emplace_back();
    else fields.back() += ch;
  }
  return fields;
}

// Files the record names as written; the fonts and the driver are placed into AutoCAD's folders.
bool IsInFolder(const std::string& path, const std::string& folder) {
  return path.size() > folder.size() && path.compare(0, folder.size() + 1, folder + "\\") == 0;
}

// The record's text, when it can be read whole (cut short or not).
std::optional<std::string> ReadRecordText(const platform::Services& services, const std::string& installFolder) {
  std::string text;
  if (services.files.ReadWholeFile(installFolder + "\\" + kRecordName, kMaxRecordBytes, &text) != platform::kErrorSuccess ||
      text.compare(0, sizeof kHeader - 1, kHeader) != 0) {
    return std::nullopt;
  }
  return text;
}

std::optional<InstallRecord> ParseInstallRecord(const std::string& text) {
  InstallRecord record;
  const struct {
    const char* kind;
    std::vector<std::string>* singles;
    std::vector<InstallRecord::Pair>* pairs;
  } kinds[] = {{"folder", &record.folders, nullptr}, {"file", &record.files, nullptr},
               {"placed", &record.placed, nullptr},  {"key", &record.keys, nullptr}, {"step", &record.steps, nullptr},
               {"original", nullptr, &record.originals}, {"loader", nullptr, &record.loaders},
               {"trusted", nullptr, &record.trusted}};
  // Every line ends with CR LF: a record cut short shows.
  for (std::size_t start = sizeof kHeader - 1; start < text.size();) {
    const std::size_t end = text.find("\r\n", start);
    if (end == std::string::npos) return std::nullopt;
    const std::vector<std::string> fields = Split(text.substr(start, end - start), '\t');
    start = end + 2;
    const auto kind = std::find_if(std::begin(kinds), std::end(kinds), [&](const auto& k) { return fields[0] == k.kind; });
    const bool filled = std::none_of(fields.begin() + 1, fields.end(), [](const std::string& f) { return f.empty(); });
    if (kind == std::end(kinds) || !filled) return std::nullopt;
    if (kind->singles != nullptr && fields.size() == 2) {
      kind->singles->push_back(fields[1]);
    } else if (kind->pairs != nullptr && fields.size() == 3) {
      kind->pairs->emplace_back(fields[1], fields[2]);
    } else {
      return std::nullopt;
    }
  }
  return record;
}

}  // namespace

std::optional<InstallRecord> ReadInstallRecord(const platform::Services& services, const std::string& installFolder) {
  const std::optional<std::string> text = ReadRecordText(services, installFolder);
  return text ? ParseInstallRecord(*text) : std::nullopt;
}

InstallRecordFile::InstallRecordFile(const platform::Services& services, const std::string& installFolder)
    : m_services(services), m_installFolder(installFolder), m_file(services.files) {
  // The file is made anew with what an earlier record there holds, when it can be read whole.
  std::optional<std::string> text = ReadRecordText(services, installFolder);
  m_new = !text || !ParseInstallRecord(*text);
  if (m_new) text = kHeader;
  if (services.files.CreateFileForWriting(installFolder + "\\" + kRecordName, false, m_file.Receive()) ==
      platform::kErrorSuccess) {
    services.files.WriteToFile(m_file.Get(), *text);
  }
}

void InstallRecordFile::DiscardIfNew() {
  if (!m_new) return;
  m_file.Reset();
  m_services.files.Delete(m_installFolder + "\\" + kRecordName);
}

void InstallRecordFile::FileWritten(const std::string& path) {
  Add(IsInFolder(path, m_installFolder) ? "file" : "placed", path);
}

void InstallRecordFile::Add(const char* kind, const std::string& first, const std::string& second) {
  if (m_file.IsOpen()) {
    m_services.files.WriteToFile(m_file.Get(), kind + ("\t" + first) + (second.empty() ? "" : "\t" + second) + "\r\n");
  }
}

}  // namespace journal
