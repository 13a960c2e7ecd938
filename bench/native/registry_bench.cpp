// The discovery scan over registry trees of 1k to 100k keys and the trusted-path update over
// 10 to 1000 profiles, against the in-memory registry. The complexity fit printed after each
// series gives the cost per key or per profile.
#include <benchmark/benchmark.h>

#include <string>

#include "profile/loader_registration.h"
#include "profile/trusted_paths.h"
#include "support/world.h"

namespace {

// A native root of `keys` keys: release keys of ten products each, every product holding
// both values and a few plain subkeys, the way AutoCAD's trees look.
void SeedAcadTree(fakes::FakeRegistry& registry, int keys) {
  const int perProduct = 5;  // the product key and four subkeys
  for (int product = 0; product * perProduct < keys; ++product) {
    const std::string path = "HKLM\\SOFTWARE\\Autodesk\\AutoCAD\\R" + std::to_string(product / 10) + "\\ACAD-" +
                             std::to_string(product) + ":804";
    registry.Set(path, "AcadLocation", "C:\\Acad\\" + std::to_string(product));
    registry.Set(path, "ProductName", "AutoCAD " + std::to_string(2007 + product % 21));
    for (const char* child : {"Applications", "Profiles", "Variables", "Menus"}) {
      registry.AddKey(path + "\\" + child);
    }
  }
}

void BM_ScanInstalledReleases(benchmark::State& state) {
  fakes::World world;
  SeedAcadTree(world.registry, static_cast<int>(state.range(0)));
  for (auto _ : state) {
    CAcadInstallInfo info{world.services};
    info.ScanInstalledReleases();
    benchmark::DoNotOptimize(info.m_arrAcadLocation);
  }
  state.SetComplexityN(state.range(0));
}
BENCHMARK(BM_ScanInstalledReleases)->Arg(1000)->Arg(10000)->Arg(100000)->Complexity()->Unit(benchmark::kMillisecond);

void BM_AddTrustedPath(benchmark::State& state) {
  fakes::World world;
  const int profiles = static_cast<int>(state.range(0));
  for (int profile = 0; profile < profiles; ++profile) {
    world.registry.Set("HKCU\\SOFTWARE\\Autodesk\\AutoCAD\\R" + std::to_string(profile % 10) +
                           "\\ACAD-1:804\\Profiles\\P" + std::to_string(profile) + "\\Variables",
                       "TRUSTEDPATHS", "C:\\Tools;D:\\Library\\Blocks;E:\\Scripts");
  }
  CAcadInstallInfo info{world.services};
  info.SetInstallDir("C:\\Vortel\\V-Trelmox");
  core::NoReport log;
  for (auto _ : state) profile::AddTrustedPath(info, log);
  state.SetComplexityN(profiles);
}
BENCHMARK(BM_AddTrustedPath)->Arg(10)->Arg(100)->Arg(1000)->Complexity()->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
