// The command line a deployment tool gives the program.
#include <gtest/gtest.h>

#include "app/command_line.h"

namespace {

TEST(CommandLine, EverySwitchEitherFormOfTheFolderAndEveryErrorAsATable) {
  using Years = std::optional<std::vector<int>>;
  const struct {
    std::string arguments;
    bool silent, help;
    std::optional<std::string> folder;
    Years releases;
    std::optional<std::string> log;
    bool understood;
  } cases[] = {
      {"", false, false, {}, {}, {}, true},
      {"/S", true, false, {}, {}, {}, true},
      {" /verysilent  /SuppressMsgBoxes ", true, false, {}, {}, {}, true},
      {"/DIR=\"C:\\Program Files\\V\" /S", true, false, "C:\\Program Files\\V", {}, {}, true},
      {"/S /D=C:\\Program Files\\Vortel  ", true, false, "C:\\Program Files\\Vortel", {}, {}, true},
      {"/d=C:\\a /S", false, false, "C:\\a /S", {}, {}, true},  // /D= takes the rest of the line
      {"/RELEASES=2008,2016", false, false, {}, Years{{2008, 2016}}, {}, true},
      {"/releases=2028", false, false, {}, Years{{2028}}, {}, true},  // a year, if not one served
      {"/Releases=All /S", true, false, {}, {}, {}, true},
      {"/LOG /S", true, false, {}, {}, "", true},
      {"/log=\"C:\\My Logs\\v.log\"", false, false, {}, {}, "C:\\My Logs\\v.log", true},
      {"/?", false, true, {}, {}, {}, true},
      {"/DIR=C:\\a /DIR=C:\\a", false, false, "C:\\a", {}, {}, true},
      {"/X", false, false, {}, {}, {}, false},
      {"C:\\V /S", true, false, {}, {}, {}, false},  // silent all the same, so no box shows it
      {"/DIR=", false, false, {}, {}, {}, false},
      {"/D=", false, false, {}, {}, {}, false},
      {"/RELEASES=20x8", false, false, {}, {}, {}, false},
      {"/RELEASES=2008,", false, false, {}, {}, {}, false},
      {"/S=1", false, false, {}, {}, {}, false},
      {"/DIR=C:\\a /DIR=C:\\b", false, false, "C:\\a", {}, {}, false},
      {"/DIR=C:\\a /D=C:\\b", false, false, "C:\\a", {}, {}, false},
      {"/RELEASES=all /RELEASES=2008", false, false, {}, {}, {}, false},
  };
  for (const auto& expected : cases) {
    const CommandLine line = ParseCommandLine(expected.arguments);
    EXPECT_EQ(line.error.empty(), expected.understood) << expected.arguments << ": " << line.error;
    EXPECT_EQ(line.silent, expected.silent) << expected.arguments;
    if (!expected.understood) continue;
    EXPECT_EQ(line.help, expected.help) << expected.arguments;
    EXPECT_EQ(line.folder, expected.folder) << expected.arguments;
    EXPECT_EQ(line.releases, expected.releases) << expected.arguments;
    EXPECT_EQ(line.log, expected.log) << expected.arguments;
  }
  EXPECT_FALSE(ParseCommandLine("/S /DIR=C:\\?", false).error.empty()) << "a folder the code page cannot write";
}

}  // namespace
