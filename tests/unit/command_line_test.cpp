// The command line a deployment tool gives the program.
#include <gtest/gtest.h>

#include "app/command_line.h"

namespace {

TEST(CommandLine, EverySwitchAndEitherFormOfTheFolder) {
  using Text = std::optional<std::string>;
  using Years = std::optional<std::vector<int>>;
  const struct { std::string arguments; bool silent, help; Text folder; Years releases; Text log; } cases[] = {
      {"", false, false, {}, {}, {}}, {"/S", true, false, {}, {}, {}}, {"/?", false, true, {}, {}, {}},
      {" /verysilent  /SuppressMsgBoxes ", true, false, {}, {}, {}},
      {"/DIR=\"C:\\Program Files\\V\" /S", true, false, "C:\\Program Files\\V", {}, {}},
      {"/S /D=C:\\Program Files\\Vortel  ", true, false, "C:\\Program Files\\Vortel", {}, {}},
      {"/d=C:\\a /S", false, false, "C:\\a /S", {}, {}},  // /D= takes the rest of the line
      {"/DIR=C:\\a /DIR=C:\\a", false, false, "C:\\a", {}, {}},
      {"/RELEASES=2008,2016", false, false, {}, Years{{2008, 2016}}, {}},
      {"/releases=2028", false, false, {}, Years{{2028}}, {}},  // a year, if not one served
      {"/Releases=All /S", true, false, {}, {}, {}}, {"/LOG /S", true, false, {}, {}, ""},
      {"/log=\"C:\\My Logs\\v.log\"", false, false, {}, {}, "C:\\My Logs\\v.log"}};
  for (const auto& expected : cases) {
    const CommandLine line = ParseCommandLine(expected.arguments);
    EXPECT_EQ(line.error, "") << expected.arguments;
    EXPECT_EQ(std::pair(line.silent, line.help), std::pair(expected.silent, expected.help)) << expected.arguments;
    EXPECT_EQ(line.folder, expected.folder) << expected.arguments;
    EXPECT_EQ(line.releases, expected.releases) << expected.arguments;
    EXPECT_EQ(line.log, expected.log) << expected.arguments;
  }
}

TEST(CommandLine, WhatIsNotUnderstoodIsAnErrorAndSilentOnlyBySwitch) {
  for (const std::string wrong : {"/X", "C:\\V /S", "/DIR=", "/D=", "/RELEASES=20x8", "/RELEASES=2008,", "/S=1",
                                  "/DIR=C:\\a /DIR=C:\\b", "/DIR=C:\\a /D=C:\\b", "/RELEASES=all /RELEASES=2008"}) {
    const CommandLine line = ParseCommandLine(wrong);
    EXPECT_NE(line.error, "") << wrong;
    EXPECT_EQ(line.silent, wrong == "C:\\V /S") << wrong << ": silent all the same, so no box shows it";
  }
  EXPECT_NE(ParseCommandLine("/S /DIR=C:\\?", false).error, "") << "a folder the code page cannot write";
}

}  // namespace
