// Windows-side test helpers around the real file system: a scratch folder removed with all
// it holds, and whole-file reads and writes made without the services under test.
#pragma once

#include <string>

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

// False when the file cannot be written.
bool WriteWholeFile(const std::string& path, const std::string& contents);
// Empty when the file cannot be read.
std::string ReadWholeFile(const std::string& path);

}  // namespace support
