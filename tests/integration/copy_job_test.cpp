// The program-file and extension-library copies over the real file calls: a package with
// GBK file names in a scratch folder, found as SetUp.exe would find it beside itself.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "deploy/copy_job.h"
#include "platform/texts.h"
#include "platform/win32/win32_services.h"
#include "support/fake_desktop.h"
#include "support/fake_progress_bar.h"
#include "scratch_folder.h"

using namespace platform;

namespace {

const std::string kToolbox = "\xB9\xA4\xBE\xDF\xCF\xE4.dll";  // 工具箱.dll
const std::string kShallow = "\x9C\x5C\xC9\xAB";             // 淺色: a trail byte 0x5C
const std::string kReadOnly = "\xD6\xBB\xB6\xC1.dat";         // 只读.dat
const std::string kFrame = "\xCD\xBC\xBF\xF2.dwg";            // 图框.dwg
const std::string kNotes = std::string(texts::kExtensionLibraryMark) + "\xCB\xB5\xC3\xF7.txt";
const std::string kLibrary = texts::kExtensionLibraryFolder;
// Bytes that no text conversion would leave alone.
const std::string kBinary("\0\xFF\x5C\r\n\x1A", 6);

// The real file calls, with the running program standing in the package's folder.
class PackagedProgram final : public Win32FileSystem {
 public:
  std::string programPath;

  std::uint32_t ModuleFileName(char* buffer, std::uint32_t size) override {
    if (programPath.size() >= size) return 0;
    std::memcpy(buffer, programPath.c_str(), programPath.size() + 1);
    return static_cast<std::uint32_t>(programPath.size());
  }
};

std::vector<std::string> Sorted(std::vector<std::string> names) {
  std::sort(names.begin(), names.end());
  return names;
}

class RealPackageCopy : public ::testing::Test {
 protected:
  void SetUp() override {
    for (const std::string& folder : {m_scratch.Path() + "\\pkg", m_package, m_package + "\\docs.v",
                                      m_packageLibrary, m_packageLibrary + "\\sub",
                                      m_scratch.Path() + "\\inst"}) {
      ASSERT_TRUE(CreateDirectoryA(folder.c_str(), nullptr)) << folder;
    }
    files.programPath = m_scratch.Path() + "\\pkg\\SetUp.exe";
    for (const std::string& name : m_packageFiles) Seed(m_package + "\\" + name, name);
    ASSERT_TRUE(SetFileAttributesA((m_package + "\\" + kReadOnly).c_str(), FILE_ATTRIBUTE_READONLY));
    for (const std::string& name : m_libraryFiles) Seed(m_packageLibrary + "\\" + name, name);
    Seed(m_packageLibrary + "\\sub\\deeper.dwg", "deeper");
  }

  static void Seed(const std::string& path, const std::string& name) {
    ASSERT_TRUE(support::WriteWholeFile(path, name + kBinary)) << path;
  }

  // Every copied file holds its own name and the binary tail, as its source does.
  static void ExpectCopies(const std::string& folder, const std::vector<std::string>& names) {
    for (const std::string& name : names) {
      const std::string path = folder + "\\" + name;
      EXPECT_EQ(support::ReadWholeFile(path), name + kBinary) << path;
      EXPECT_EQ(GetFileAttributesA(path.c_str()) & FILE_ATTRIBUTE_READONLY, 0u) << path;
    }
  }

  support::ScratchFolder m_scratch{"copy"};
  const std::string m_package = m_scratch.Path() + "\\pkg\\Data";
  const std::string m_packageLibrary = m_package + "\\" + kLibrary;
  const std::string m_install = m_scratch.Path() + "\\inst\\V-Trelmox";
  const std::vector<std::string> m_packageFiles = {
      "SetUp.exe", "Vortel2011.arx", kToolbox, kShallow + ".cfg", "Vortel_EN.shx",
      "VORTEL_hz.SHX", "LICENSE", kNotes, kReadOnly};
  const std::vector<std::string> m_libraryFiles = {kFrame, "README", kShallow + ".lin"};

  Win32Services win32;
  PackagedProgram files;
  fakes::FakeDesktop desktop;
  fakes::FakeProgressBar bar;
  Services services{win32.registry, files, win32.processes, desktop, IsSystemLeadByte};
};

TEST_F(RealPackageCopy, CopiesTheProgramFilesAndTheLibraryWithTheirBytes) {
  CopyJob job(m_install + "\\", bar, services);
  ASSERT_TRUE(job.CopyProgramFiles());
  const std::vector<std::string> programFiles = {"Vortel2011.arx", kToolbox, kShallow + ".cfg",
                                                 kReadOnly};
  EXPECT_EQ(support::SortedNames(m_install), Sorted(programFiles));
  ExpectCopies(m_install, programFiles);
  EXPECT_EQ(GetFileAttributesA((m_package + "\\" + kReadOnly).c_str()) & FILE_ATTRIBUTE_READONLY,
            0u);
  // ".", "..", the files, "docs.v" and the library folder, and the turn that finds the end.
  const int programSteps = bar.Steps();
  EXPECT_EQ(programSteps, 2 + static_cast<int>(m_packageFiles.size()) + 2 + 1);

  job.CopyExtensionLibrary();
  const std::string installedLibrary = m_install + "\\" + kLibrary;
  EXPECT_EQ(support::SortedNames(installedLibrary), Sorted(m_libraryFiles));
  ExpectCopies(installedLibrary, m_libraryFiles);
  // ".", "..", the files, "sub", and the end.
  EXPECT_EQ(bar.Steps() - programSteps, 2 + static_cast<int>(m_libraryFiles.size()) + 1 + 1);
  EXPECT_TRUE(desktop.shown.empty());
}

TEST_F(RealPackageCopy, RetryCopiesAFileOnceItIsNoLongerHeldOpen) {
  ASSERT_TRUE(CreateDirectoryA(m_install.c_str(), nullptr));
  const std::string held = m_install + "\\" + kToolbox;
  ASSERT_TRUE(support::WriteWholeFile(held, "old"));
  HANDLE holder = CreateFileA(held.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(holder, INVALID_HANDLE_VALUE);
  desktop.answers = {kIdRetry};
  desktop.onShow = [&](const fakes::ShownBox&) {
    CloseHandle(holder);
    holder = INVALID_HANDLE_VALUE;
  };

  CopyJob job(m_install, bar, services);
  EXPECT_TRUE(job.CopyProgramFiles());
  if (holder != INVALID_HANDLE_VALUE) CloseHandle(holder);
  ASSERT_EQ(desktop.shown.size(), 1u);
  EXPECT_NE(desktop.shown[0].text.find(" " + held + " "), std::string::npos);
  ExpectCopies(m_install, {kToolbox, "Vortel2011.arx"});
}

}  // namespace
