// The command line a deployment tool gives the program.
#include <gtest/gtest.h>

#include "app/command_line.h"

namespace {

TEST(CommandLine, EverySwitchEitherFormOfTheFolderAndEveryErrorAsATable) {
  using Text = std::optional<std::string>;
  using Years = std::optional<std::vector<int>>;
  const struct { std::string arguments; bool silent, help; Text folder; Years releases; Text log; } cases[] = {
      {"", false, false, {}, {}, {}}, {"/S", true, false, {}, {}, {}}, {"/?", false, true, {}, {}, {}},
      {" /verysilent  /SuppressMsgBoxes ", true, false, {}, {}, {}}, {"/Releases=All /S", true, false, {}, {}, {}},
      {"/DIR=\"C:\\Program Files\\V\" /S", true, false, "C:\\Program Files\\V", {}, {}},
      {"/S /D=C:\\Program Files\\Vortel  ", true, false, "C:\\Program Files\\Vortel", {}, {}},
      {"/d=C:\\a /S", false, false, "C:\\a /S", {}, {}},  // /D= takes the rest of the line
      {"/DIR=C:\\a /DIR=C:\\a", false, false, "C:\\a", {}, {}}, {"/LOG /S", true, false, {}, {}, ""},
      {"/RELEASES=2008,2016", false, false, {}, Years{{2008, 2016}}, {}},
      {"/releases=2028", false, false, {}, Years{{2028}}, {}},  // a year, if not one served
      {"/log=\"C:\\My Logs\\v.log\"", false, false, {}, {}, "C:\\My Logs\\v.log"}};
  for (const auto& x : cases) {
    const CommandLine line = ParseCommandLine(x.arguments);
    EXPECT_EQ(line.error, "") << x.arguments;
    EXPECT_EQ(std::tie(line.silent, line.help, line.folder, line.releases, line.log),
              std::tie(x.silent, x.help, x.folder, x.releases, x.log)) << x.arguments;
  }
  // Not understood; silent all the same after a silent switch, so that no box shows the error.
  for (const std::string wrong : {"/X", "C:\\V /S", "/DIR=", "/D=", "/RELEASES=20x8", "/RELEASES=2008,", "/S=1",
                                  "/DIR=C:\\a /DIR=C:\\b", "/DIR=C:\\a /D=C:\\b", "/RELEASES=all /RELEASES=2008"}) {
    const CommandLine line = ParseCommandLine(wrong);
    EXPECT_NE(line.error, "") << wrong;
    EXPECT_EQ(line.silent, wrong == "C:\\V /S") << wrong;
  }
  EXPECT_NE(ParseCommandLine("/S /DIR=C:\\?", false).error, "") << "a folder the code page cannot write";
}

}  // namespace
