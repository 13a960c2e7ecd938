#include "app/command_line.h"

#include <algorithm>
#include <cctype>
#include <map>

namespace {

// Switches of other installers' command lines that mean nothing here.
const char* const kIgnored[] = {"SUPPRESSMSGBOXES",
                                "NORESTART",
                                "SP-",
                                "NOCANCEL",
                                "CLOSEAPPLICATIONS",
                                "NOCLOSEAPPLICATIONS",
                                "FORCECLOSEAPPLICATIONS",
                                "RESTARTAPPLICATIONS",
                                "NORESTARTAPPLICATIONS",
                                "NOICONS"};
const char* const kSilent[] = {"S", "VERYSILENT", "SILENT", "QUIET", "QN", "PASSIVE"};

bool IsBlank(char ch) { return ch == ' ' || ch == '\t'; }
bool IsSwitch(const std::string& token) { return token.size() >= 2 && (token[0] == '/' || token[0] == '-'); }

std::string Upper(std::string text) {
  for (char& ch : text) ch = static_cast<char>(std::toupper(static_cast<unsigned char>(ch)));
  return text;
}

template <std::size_t N>
bool IsOneOf(const std::string& name, const char* const (&names)[N]) {
  return std::find(std::begin(names), std::end(names), name) != std::end(names);
}

// A value less one pair of surrounding quotes; false when another quote is left in it.
bool Unquote(std::string& value) {
  if (value.size() >= 2 && value.front() == '"' && value.back() == '"') value = value.substr(1, value.size() - 2);
  return value.find('"') == std::string::npos;
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

class SwitchParser {
 public:
  explicit SwitchParser(core::RunChoices& choices) : m_choices(choices) {}

  // One switch and its value as written ("" when it has none); false when it is not understood.
  bool Take(const std::string& name, std::string value, bool hasValue) {
    std::string key = Upper(name);
    if (key == "D") key = "DIR";  // two ways of giving the folder: one folder
    const std::string written = name + (hasValue ? "=" + value : "");
    if (hasValue && !Unquote(value)) return Fail(written + " holds a quote that does not end it");
    if (m_seen.count(key) != 0 && m_seen[key] != value) return Fail(name + " given twice, differently");
    m_seen[key] = value;
    if (!hasValue && IsOneOf(key, kSilent)) {
      m_choices.silent = true;
    } else if (!hasValue && IsOneOf(key, kIgnored)) {
      m_choices.ignored.push_back(name);
    } else if (!hasValue && key == "ALLOWDOWNGRADE") {
      m_choices.allowDowngrade = true;
    } else if (!hasValue && (key == "?" || key == "HELP")) {
      m_choices.task = core::Task::Usage;
    } else if (!hasValue && (key == "UNINSTALL" || key == "TRUSTUSER")) {
      if (m_choices.task != core::Task::Usage)
        m_choices.task = key == "UNINSTALL" ? core::Task::Uninstall : core::Task::TrustUser;
    } else if (key == "DIR" && hasValue && !value.empty()) {
      m_choices.folder = value;
    } else if (key == "LOG" && (!hasValue || !value.empty())) {
      m_choices.log = value;
    } else if (key == "RELEASES" && hasValue && Upper(value) == "ALL") {
      m_choices.releases.reset();
    } else if (key == "RELEASES" && hasValue && YearsOf(value)) {
      m_choices.releases = YearsOf(value);
    } else if (key == "AFTER" && hasValue && !value.empty() && value.size() <= 9 &&
               value.find_first_not_of("0123456789") == std::string::npos) {
      m_choices.finishAfter = static_cast<std::uint32_t>(std::stoul(value));
    } else {
      return Fail(written + " not understood");
    }
    return true;
  }
  bool Fail(const std::string& error) {
    if (m_choices.error.empty()) m_choices.error = error;
    return false;
  }

 private:
  core::RunChoices& m_choices;
  std::map<std::string, std::string> m_seen;
};

// The next token from `at`: up to a blank outside quotes, quotes kept.
std::string NextToken(const std::string& arguments, std::size_t& at) {
  std::string token;
  for (bool quoted = false; at < arguments.size() && (quoted || !IsBlank(arguments[at])); ++at) {
    if (arguments[at] == '"') quoted = !quoted;
    token += arguments[at];
  }
  return token;
}

// "C:\..." or "\\server\share...": a folder that means the same whatever the current folder.
bool IsFullPath(const std::string& folder) {
  const bool drive = folder.size() >= 3 && std::isalpha(static_cast<unsigned char>(folder[0])) && folder[1] == ':' &&
                     folder[2] == '\\';
  return drive || folder.rfind("\\\\", 0) == 0;
}

void SkipBlanks(const std::string& arguments, std::size_t& at) {
  while (at < arguments.size() && IsBlank(arguments[at])) ++at;
}

}  // namespace

core::RunChoices ParseCommandLine(const std::string& arguments, bool representable) {
  core::RunChoices choices;
  SwitchParser parser(choices);
  if (!representable) parser.Fail("the command line holds characters the system's code page cannot write");
  // An error does not end the parse: a silent switch after it still keeps the run silent.
  std::size_t at = 0;
  for (SkipBlanks(arguments, at); at < arguments.size(); SkipBlanks(arguments, at)) {
    // "/D=" takes the rest of the line, spaces and all.
    if (Upper(arguments.substr(at + 1, 2)) == "D=" && (arguments[at] == '/' || arguments[at] == '-')) {
      std::string folder = arguments.substr(at + 3);
      while (!folder.empty() && IsBlank(folder.back())) folder.pop_back();
      parser.Take(arguments.substr(at + 1, 1), folder, true);
      break;
    }
    const std::string token = NextToken(arguments, at);
    const std::size_t equals = token.find('=');
    if (!IsSwitch(token)) {
      parser.Fail(token + " is no switch");
      continue;
    }
    const std::string name = token.substr(1, equals == std::string::npos ? std::string::npos : equals - 1);
    if (equals != std::string::npos) {
      parser.Take(name, token.substr(equals + 1), true);
      continue;
    }
    // "/LOG file": the file as the next word, when it is no switch.
    std::size_t next = at;
    SkipBlanks(arguments, next);
    std::string file = next < arguments.size() ? NextToken(arguments, next) : "";
    if (Upper(name) == "LOG" && !file.empty() && !IsSwitch(file)) {
      at = next;
      parser.Take(name, file, true);
    } else {
      parser.Take(name, "", false);
    }
  }
  // A run without a window is started by a tool whose current folder nobody chose: a folder
  // relative to it is refused. The dialog resolves one and shows the full folder it became.
  if (choices.silent && choices.folder && !IsFullPath(*choices.folder)) {
    parser.Fail("the folder " + *choices.folder + " is not a full path (a drive and its root, or a share)");
  }
  return choices;
}
