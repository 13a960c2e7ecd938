// Windows-side test helpers around the real file system: a scratch folder removed with all
// it holds, and whole-file reads and writes made without the services under test.
#pragma once

#include <string>
#include <vector>

namespace support {

class ScratchFolder {
 public:
  // A fresh folder named after `purpose` and the process under the temporary folder.
  explicit ScratchFolder(const std::string& purpose);
  ScratchFolder(const ScratchFolder&) = delete;
  ScratchFolder& operator=(const ScratchFolder&) = delete;
  ~ScratchFolder();

  const std::string& Path() const { return m_path; }

 private:
  std::string m_path;
};

// Removes a folder and everything below it, read-only entries included.
void RemoveTree(const std::string& folder);
// The names in a folder, without "." and "..", sorted; empty when the folder is missing.
std::vector<std::string> SortedNames(const std::string& folder);
// False when the file cannot be written.
bool WriteWholeFile(const std::string& path, const std::string& contents);
// Empty when the file cannot be read.
std::string ReadWholeFile(const std::string& path);

}  // namespace support
