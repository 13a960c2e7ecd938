#include "app/command_line.h"

#include <cctype>
#include <map>

namespace {

bool IsBlank(char ch) { return ch == ' ' || ch == '\t'; }

std::string Upper(std::string text) {
  for (char& ch : text) ch = static_cast<char>(std::toupper(static_cast<unsigned char>(ch)));
  return text;
}

// "2008,2016": the years listed, or nothing when the list holds anything but four-digit years.
std::optional<std::vector<int>> YearsOf(const std::string& list) {
  std::vector<int> years;
  for (std::size_t start = 0; start <= list.size();) {
    const std::size_t end = std::min(list.find(',', start), list.size());
    const std::string year = list.substr(start, end - start);
    if (year.size() != 4 || year.find_first_not_of("0123456789") != std::string::npos) return std::nullopt;
    years.push_back(std::stoi(year));
    start = end + 1;
  }
  return years;
}

class Parser {
 public:
  explicit Parser(CommandLine& line) : m_line(line) {}

  // One switch and its value ("" when it has none); false when it is not understood.
  bool Take(const std::string& name, const std::string& value, bool hasValue) {
    std::string key = Upper(name);
    if (key == "D") key = "DIR";  // two ways of giving the folder: one folder
    if (m_seen.count(key) != 0 && m_seen[key] != value) return Fail("/" + name + " given twice, differently");
    m_seen[key] = value;
    const bool flag = !hasValue;
    if (flag && (key == "S" || key == "VERYSILENT" || key == "SILENT")) m_line.silent = true;
    else if (flag && (key == "?" || key == "HELP")) m_line.help = true;
    else if (flag && key == "UNINSTALL") m_line.uninstall = true;
    else if (flag && key == "TRUSTUSER") m_line.trustUser = true;
    else if (key == "DIR" && hasValue && !value.empty()) m_line.folder = value;
    else if (key == "LOG" && (flag || !value.empty())) m_line.log = value;
    else if (key == "RELEASES" && Upper(value) == "ALL") m_line.releases.reset();
    else if (key == "RELEASES" && YearsOf(value)) m_line.releases = YearsOf(value);
    else if (!(flag && key == "SUPPRESSMSGBOXES")) return Fail("/" + name + (hasValue ? "=" + value : "") + " not understood");
    return true;
  }
  bool Fail(const std::string& error) {
    if (m_line.error.empty()) m_line.error = error;
    return false;
  }

 private:
  CommandLine& m_line;
  std::map<std::string, std::string> m_seen;
};

}  // namespace

CommandLine ParseCommandLine(const std::string& arguments, bool representable) {
  CommandLine line;
  Parser parser(line);
  if (!representable) parser.Fail("the command line holds characters the system's code page cannot write");
  // An error does not end the parse: a silent switch after it still keeps the run silent.
  for (std::size_t at = 0; at < arguments.size();) {
    if (IsBlank(arguments[at])) {
      ++at;
      continue;
    }
    // "/D=" takes the rest of the line, spaces and all, unquoted.
    if (Upper(arguments.substr(at, 3)) == "/D=") {
      std::string folder = arguments.substr(at + 3);
      while (!folder.empty() && IsBlank(folder.back())) folder.pop_back();
      parser.Take("D", folder, true);
      break;
    }
    std::string token;
    for (bool quoted = false; at < arguments.size() && (quoted || !IsBlank(arguments[at])); ++at) {
      if (arguments[at] == '"') quoted = !quoted;
      else token += arguments[at];
    }
    const std::size_t equals = token.find('=');
    if (token.size() < 2 || token[0] != '/') parser.Fail(token + " is no switch");
    else parser.Take(token.substr(1, equals - 1), equals == std::string::npos ? "" : token.substr(equals + 1),
                     equals != std::string::npos);
  }
  return line;
}
