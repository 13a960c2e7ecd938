// One in-memory machine for the program's logic: its registry, files, processes and desktop sharing one fault
// mechanism, bundled as the services the program takes.
#pragma once

#include "platform/services.h"
#include "support/fake_desktop.h"
#include "support/fake_files.h"
#include "support/fake_registry.h"

#include "core/report.h"
#include "platform/environment.h"

// g_bCheckAcadRunning as the program starts with it, before any test changes it.
extern const bool g_checkAcadAtStart;

namespace fakes {

using Names = std::vector<std::string>;
const std::string kShallow = "\x9C\x5C";  // 淺: its trail byte is a backslash

// A machine's time, temporary folder and elevation; text conversion keeps the bytes as they are.
struct FakeEnvironment final : platform::Environment {
  unsigned codePage = 936;
  bool elevated = false;
  unsigned char random = 0xA0;  // the next byte "drawn"
  std::string TempFolder() override { return "C:\\Temp\\"; }
  bool RandomBytes(void* buffer, unsigned size) override {
    for (unsigned at = 0; at < size; ++at) static_cast<unsigned char*>(buffer)[at] = random++;
    return true;
  }
  platform::LocalTime Now() override { return {2026, 12, 7, 9, 30, 5}; }
  bool IsElevated() override { return elevated; }
  std::string ToUtf8(const std::string& text) override { return text; }
  unsigned AnsiCodePage() override { return codePage; }
};

struct RecordedLog final : core::Report {
  std::vector<std::string> lines;
  void Line(const std::string& text) override { lines.push_back(text); }
};

struct World {
  Faults faults;
  FakeRegistry registry{faults};
  FakeFiles files{faults};
  FakeProcesses processes{faults, files};
  FakeDesktop desktop{faults};
  FakeEnvironment environment;
  platform::Services services{registry, files, processes, desktop, environment, platform::IsCp936LeadByte};
  RecordedLog log;

  Names BoxTexts() const {
    Names texts;
    for (const ShownBox& box : desktop.boxes) texts.push_back(box.text);
    return texts;
  }
  // Every registry key, listing and file opened was closed, every picked item freed once.
  bool AllReleased() const {
    return registry.OpenHandles() == 0 && files.OpenHandles() == 0 && desktop.liveItems.empty() && desktop.badFrees == 0;
  }
};

}  // namespace fakes
