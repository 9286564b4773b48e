// Loading and saving a settings file of 1,000 jobs (about 100,000 keys), and how many
// allocations the parser makes: it must not allocate per key.
#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <atomic>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <new>
#include <string>

#include "model/kel_ini.h"
#include "app/settings.h"

namespace {

std::atomic<long> g_allocations{0};

}  // namespace

// Kept out of line so that the compiler does not pair the malloc and free across calls.
[[gnu::noinline]] void* operator new(std::size_t size) {
  g_allocations.fetch_add(1, std::memory_order_relaxed);
  if (void* p = std::malloc(size ? size : 1)) return p;
  throw std::bad_alloc();
}
[[gnu::noinline]] void operator delete(void* p) noexcept {
  std::free(p);
}
[[gnu::noinline]] void operator delete(void* p, std::size_t) noexcept {
  std::free(p);
}

namespace {

using namespace twn;

constexpr int kJobs = 1000;

// A folder holding TWN.ini with kJobs jobs of about 100 keys each, made once.
const std::string& Folder() {
  static const std::string folder = [] {
    std::string dir = (std::filesystem::temp_directory_path() / "twn-bench-XXXXXX").string();
    if (!mkdtemp(dir.data())) std::abort();
    TSettings settings(dir);
    for (int i = 0; i < kJobs; ++i) {
      TJobData& d = settings.AddJob(45000).Data;
      const std::string n = std::to_string(i);
      d.JobName = "Job number " + n;
      for (int p = 0; p < 5; ++p) {
        TPairItem& pair = d.Pairs.emplace_back();
        pair.L_Path = "/home/user/documents/projects/" + n + "/part" + std::to_string(p);
        pair.R_Path = "/mnt/backup/documents/projects/" + n + "/part" + std::to_string(p);
        pair.bSubFLD = true;
      }
      for (int l = 0; l < 10; ++l)
        d.LogHistory.push_back("/home/user/logs/Job number " + n + "_full (" + std::to_string(l) +
                               ").log");
      for (const char* pattern : {"node_modules", ".git", "build", "cache", "tmp"})
        d.FolderFilter.AddPattern(pattern);
    }
    if (settings.SaveSettings() != 0) std::abort();
    return dir;
  }();
  return folder;
}

std::string IniPath() {
  return Folder() + "/TWN.ini";
}

void BM_ParseIni(benchmark::State& state) {
  const std::string path = IniPath();
  TKelIni ini;
  long allocations = 0, keys = 0;
  for (auto _ : state) {
    const long before = g_allocations.load();
    ini.LoadFromFile(path);
    allocations = g_allocations.load() - before;
    keys = ini.KeyCount();
    benchmark::DoNotOptimize(ini.SectionCount());
  }
  state.counters["keys"] = double(keys);
  state.counters["allocations"] = double(allocations);
  state.counters["allocations_per_key"] = double(allocations) / double(keys);
  state.counters["MB"] = double(std::filesystem::file_size(path)) / 1e6;
}
BENCHMARK(BM_ParseIni)->Unit(benchmark::kMillisecond);

void BM_LoadSettings(benchmark::State& state) {
  for (auto _ : state) {
    auto settings = std::make_unique<TSettings>(Folder());
    settings->LoadSettings(45000);
    if (settings->Jobs.size() != kJobs) state.SkipWithError("jobs lost");
    state.PauseTiming();
    settings.reset();
    state.ResumeTiming();
  }
}
BENCHMARK(BM_LoadSettings)->Unit(benchmark::kMillisecond);

// What creating the 1,000 job objects alone costs within the load.
void BM_CreateJobs(benchmark::State& state) {
  for (auto _ : state) {
    auto settings = std::make_unique<TSettings>(Folder());
    for (int i = 0; i < kJobs; ++i) settings->AddJob(45000);
    state.PauseTiming();
    settings.reset();
    state.ResumeTiming();
  }
}
BENCHMARK(BM_CreateJobs)->Unit(benchmark::kMillisecond);

void BM_SaveSettings(benchmark::State& state) {
  TSettings settings(Folder());
  settings.LoadSettings(45000);
  for (auto _ : state) {
    if (settings.SaveSettings() != 0) state.SkipWithError("save failed");
  }
}
BENCHMARK(BM_SaveSettings)->Unit(benchmark::kMillisecond);

// The save without the flush to disk, to tell the program's own time from the device's.
void BM_BuildSettingsText(benchmark::State& state) {
  TSettings settings(Folder());
  settings.LoadSettings(45000);
  for (auto _ : state) {
    TKelIni ini;
    settings.WriteTo(ini);
    benchmark::DoNotOptimize(ini.BuildText().size());
  }
}
BENCHMARK(BM_BuildSettingsText)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  std::filesystem::remove_all(Folder());
  return 0;
}
