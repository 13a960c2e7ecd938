// Making every installed AutoCAD of a ticked release load the add-on at start-up: a
// demand-load entry "Applications\Vortel<year>" beneath each of the release's product keys.

#include "profile/loader_registration.h"

#include "core/registry_keys.h"
#include "platform/format.h"
#include "platform/paths.h"
#include "platform/registry_values.h"
#include "profile/trusted_paths.h"

using platform::RegKey;
using platform::ScopedRegKey;

namespace {

// AutoCAD's demand-load flag for loading an application when AutoCAD starts.
constexpr std::uint32_t kLoadOnStartup = 2;
constexpr std::size_t kTextBufferSize = 260;

const char kLoaderValue[] = "LOADER";
const char kLoadControlsValue[] = "LOADCTRLS";
const char kEntryFormat[] = "Applications\\Vortel%d";
const char kLoaderFormat[] = "%s\\Vortel%d.ARX";
const char kEntry32Format[] = "Applications\\Vortel%d_32";
const char kLoader32Format[] = "%s\\Vortel%d_32.ARX";

// The year in the file name of the loader module a release uses; 0 outside the table.
int LoaderYear(int releaseYear) {
  struct Range {
    int lastRelease;
    int loaderYear;
  };
  static const Range kLoaders[] = {
      {2008, 2008}, {2009, 2009}, {2012, 2010}, {2014, 2013}, {2016, 2015}, {2017, 2017},
      {2018, 2018}, {2020, 2019}, {2024, 2021}, {2026, 2025}, {2027, 2027},
  };
  if (!acad::IsSupportedRelease(releaseYear)) return 0;
  for (const Range& range : kLoaders) {
    if (releaseYear <= range.lastRelease) return range.loaderYear;
  }
  return 0;
}

// Formats a key name or loader path; false when it would not fit the program's 260-byte
// text buffer (259 characters), in which case nothing is written.
bool FormatBounded(std::string& text, const char* format, ...) VORTEL_PRINTF_FORMAT(2, 3);
bool FormatBounded(std::string& text, const char* format, ...) {
  std::va_list arguments;
  va_start(arguments, format);
  text = platform::FormatTextV(format, arguments);
  va_end(arguments);
  return text.size() < kTextBufferSize;
}

// Replaces one entry: the old key goes (with its values) and a new one gets LOADER and
// LOADCTRLS; one that cannot be written whole goes again.
platform::ErrorCode WriteLoaderEntry(platform::Registry& registry, RegKey productKey, const std::string& entryName,
                                     const std::string& loader) {
  registry.DeleteKey(productKey, entryName.c_str());
  ScopedRegKey entry(registry);
  const platform::ErrorCode created =
      registry.CreateKey(productKey, entryName.c_str(), platform::kKeyReadWrite, entry.Receive());
  if (!entry.IsOpen()) return created != platform::kErrorSuccess ? created : platform::kErrorInvalidHandle;
  // LOADER first: an entry that a killed run left with it alone names the folder, and goes with the
  // uninstall; one with LOADCTRLS alone would name nothing.
  platform::ErrorCode written = platform::SetText(registry, entry.Get(), kLoaderValue, loader);
  if (written == platform::kErrorSuccess)
    written = platform::SetNumber(registry, entry.Get(), kLoadControlsValue, kLoadOnStartup);
  if (written != platform::kErrorSuccess) {  // an entry half written would load nothing, and nobody would remove it
    entry.Reset();
    registry.DeleteKey(productKey, entryName.c_str());
  }
  return written;
}

// Writes one entry beneath an open product key and logs it; false when it was not written. A
// loader path that does not fit its buffer leaves the old entry as it was.
platform::ErrorCode RegisterLoaderEntry(const CAcadInstallInfo& info, RegKey productKey,
                                        const std::string& productKeyPath, int entryYear, const char* entryFormat,
                                        int loaderYear, const char* loaderFormat, core::Report& report) {
  const platform::Services& services = info.Services();
  std::string entryName, loader;
  const bool fits = FormatBounded(entryName, entryFormat, entryYear) &&
                    FormatBounded(loader, loaderFormat, info.m_strInstallDir.c_str(), loaderYear);
  platform::ErrorCode written = fits ? platform::kErrorSuccess : platform::kErrorFilenameTooLong;
  if (fits) {
    // Made where it is missing (and so reported), before the entry is written beneath it.
    ScopedRegKey applications(services.registry);
    written =
        core::CreateKeyReported(services, productKey, "HKLM\\" + productKeyPath.substr(0, productKeyPath.size() - 1),
                                "Applications", applications, report);
  }
  // Reported before it is written, so that a run killed meanwhile leaves a journal that names it:
  // not written when its line cannot be, taken back when it could not be written.
  const core::Effect line{core::EffectKind::LoaderWritten, {productKeyPath, entryName}};
  const bool reported = written == platform::kErrorSuccess;
  if (reported) written = report.Done(line);
  if (written == platform::kErrorSuccess) written = WriteLoaderEntry(services.registry, productKey, entryName, loader);
  if (reported && written != platform::kErrorSuccess) report.Undone(line);
  const std::string key = "HKLM\\" + productKeyPath + entryName;
  report.Line(written == platform::kErrorSuccess
                  ? platform::FormatText("loader entry written: %s: LOADER (REG_SZ) = %s, LOADCTRLS (REG_DWORD) = %u",
                                         key.c_str(), loader.c_str(), kLoadOnStartup)
                  : platform::FormatText("loader entry not written: %s (error %ld)", key.c_str(), written));
  return written;
}

}  // namespace

namespace profile {

platform::ErrorCode RegisterLoaders(const CAcadInstallInfo& info, const acad::ReleaseTicks& ticks, int packageBits,
                                    core::Report& report) {
  platform::FirstError written;
  for (int index = 0; index < acad::kReleaseCount; ++index) {
    if (ticks[index] != 0) written += RegisterLoader(info, acad::ReleaseYear(index), packageBits, report);
  }
  return written.Get();
}

platform::ErrorCode RegisterLoader(const CAcadInstallInfo& info, int year, int packageBits, core::Report& report) {
  const int loaderYear = LoaderYear(year);
  if (loaderYear == 0) return platform::kErrorSuccess;
  platform::Registry& registry = info.Services().registry;
  platform::FirstError written;
  for (const std::string& productKeyPath : info.m_arrProductKey[acad::ReleaseIndex(year)]) {
    ScopedRegKey productKey(registry);
    const platform::ErrorCode opened = registry.OpenKeyEx(platform::kHkeyLocalMachine, productKeyPath.c_str(),
                                                          platform::kKeyReadWrite, productKey.Receive());
    if (!productKey.IsOpen()) {
      report.Line(platform::FormatText("loader entries not written below HKLM\\%s: the key does not open (error %ld)",
                                       productKeyPath.c_str(), opened));
      written += opened != platform::kErrorSuccess ? opened : platform::kErrorInvalidHandle;
      continue;
    }
    const auto write = [&](int entryYear, const char* entryFormat, int fileYear, const char* loaderFormat) {
      written += RegisterLoaderEntry(info, productKey.Get(), productKeyPath, entryYear, entryFormat, fileYear,
                                     loaderFormat, report);
    };
    write(year, kEntryFormat, loaderYear, kLoaderFormat);
    if (packageBits == 64 && year == 2009) write(2008, kEntryFormat, 2008, kLoaderFormat);
    if (packageBits == 64 && year == 2010) write(2010, kEntry32Format, 2010, kLoader32Format);
  }
  return written.Get();
}

platform::ErrorCode UnregisterLoaderEntry(const platform::Services& services, const std::string& productKeyPath,
                                          const std::string& entryName, const std::string& folder,
                                          core::Report& report) {
  platform::Registry& registry = services.registry;
  const std::string where = "HKLM\\" + productKeyPath + entryName;
  ScopedRegKey productKey(registry);
  platform::ErrorCode result = registry.OpenKeyEx(platform::kHkeyLocalMachine, productKeyPath.c_str(),
                                                  platform::kKeyReadWrite, productKey.Receive());
  platform::ValueText loader;
  if (result == platform::kErrorSuccess) {
    result = platform::ReadValueText(registry, productKey.Get(), entryName, kLoaderValue, 1024, &loader);
  }
  if (result == platform::kErrorFileNotFound) {
    core::RemoveKeyIfEmpty(services, where);  // one a killed install made, before it wrote its values
    report.Line("loader entry already gone: " + where);
    return platform::kErrorSuccess;
  }
  if (result == platform::kErrorSuccess && !platform::IsInsideFolder(loader.text, folder, services.isLeadByte)) {
    report.Line("loader entry left: " + where + " names \"" + loader.text + "\", not this installation");
    return platform::kErrorSuccess;
  }
  if (result == platform::kErrorSuccess) result = registry.DeleteKey(productKey.Get(), entryName.c_str());
  report.Line(result == platform::kErrorSuccess
                  ? "loader entry removed: " + where
                  : platform::FormatText("loader entry not removed (error %ld): %s", result, where.c_str()));
  return result;
}

}  // namespace profile
