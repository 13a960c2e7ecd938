// What an install reports as it goes: lines for the install log, and the effects that an
// uninstall must undo, for the install's record. Whoever keeps account of the install takes
// what concerns it; the rest is let go.
#pragma once

#include <string>

namespace core {

class Report {
 public:
  virtual ~Report() = default;

  // A line of the install log, in the system's code page.
  virtual void Line(const std::string&) {}
  // The last line of the log, which tells how the run ended.
  virtual void LastLine(const std::string& text) { Line(text); }

  // A folder the install made, and a file it wrote (a copy into the installation folder, a
  // font or the driver placed into AutoCAD's folders).
  virtual void FolderMade(const std::string&) {}
  virtual void FileWritten(const std::string&) {}
  // The original of a file the install replaces, kept beside it under another name.
  virtual void OriginalKept(const std::string& /*original*/, const std::string& /*copy*/) {}
  // A registry key the install made ("HKLM\..." or "HKCU\...").
  virtual void KeyMade(const std::string&) {}
  // A loader entry written beneath a product key (below HKLM, ending in a backslash).
  virtual void LoaderWritten(const std::string& /*productKey*/, const std::string& /*entry*/) {}
  // A profile's TRUSTEDPATHS that gained the installation folder; whether it held a value
  // named so before.
  virtual void TrustedPathAdded(const std::string& /*variablesKey*/, bool /*valueExisted*/) {}
  // The per-user step registered for `installFolder`, which trusts it for every user at logon.
  virtual void PerUserStepWritten(const std::string& /*installFolder*/) {}
};

// An install that keeps no account.
class NoReport final : public Report {};

// One report told to two.
class BothReports final : public Report {
 public:
  BothReports(Report& first, Report& second) : m_first(first), m_second(second) {}
  void Line(const std::string& text) override { m_first.Line(text), m_second.Line(text); }
  void LastLine(const std::string& text) override { m_first.LastLine(text), m_second.LastLine(text); }
  void FolderMade(const std::string& path) override { m_first.FolderMade(path), m_second.FolderMade(path); }
  void FileWritten(const std::string& path) override { m_first.FileWritten(path), m_second.FileWritten(path); }
  void OriginalKept(const std::string& original, const std::string& copy) override {
    m_first.OriginalKept(original, copy), m_second.OriginalKept(original, copy);
  }
  void KeyMade(const std::string& key) override { m_first.KeyMade(key), m_second.KeyMade(key); }
  void LoaderWritten(const std::string& productKey, const std::string& entry) override {
    m_first.LoaderWritten(productKey, entry), m_second.LoaderWritten(productKey, entry);
  }
  void TrustedPathAdded(const std::string& variablesKey, bool valueExisted) override {
    m_first.TrustedPathAdded(variablesKey, valueExisted), m_second.TrustedPathAdded(variablesKey, valueExisted);
  }
  void PerUserStepWritten(const std::string& folder) override {
    m_first.PerUserStepWritten(folder), m_second.PerUserStepWritten(folder);
  }

 private:
  Report& m_first;
  Report& m_second;
};

}  // namespace core
