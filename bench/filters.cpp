// Throughput of name-spec matching, the test every scanned file and folder goes through, and
// proof that it allocates nothing: global operator new is counted while the names are matched.
#include <benchmark/benchmark.h>

#include <atomic>
#include <cstdlib>
#include <new>
#include <string>
#include <vector>

#include "filters/file_spec_processor.h"
#include "filters/folder_filter.h"
#include "platform/locale.h"

namespace {

std::atomic<long> g_allocations{0};

}  // namespace

void* operator new(std::size_t size) {
  g_allocations.fetch_add(1, std::memory_order_relaxed);
  if (void* p = std::malloc(size ? size : 1)) return p;
  throw std::bad_alloc();
}
// Once these are inlined into a delete expression GCC sees free() on memory from operator new
// and takes it for a mismatch; the pair is matched here by design.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"
void operator delete(void* p) noexcept {
  std::free(p);
}
void operator delete(void* p, std::size_t) noexcept {
  std::free(p);
}
#pragma GCC diagnostic pop

namespace {

// A fixed mix of names as a home folder holds them: photos, documents, sources, build output
// and tool folders, in mixed letter case and lengths.
std::vector<std::string> Names() {
  const char* stems[] = {"IMG_20240611_181522",
                         "holiday",
                         "Report final (2)",
                         "main",
                         "README",
                         "node_modules",
                         "build-01",
                         ".git",
                         "Thumbs",
                         "~lock.Budget 2024",
                         "backup_old",
                         "v1.2.3-release",
                         "Temp",
                         "cache",
                         "a"};
  const char* exts[] = {".jpg", ".JPG", ".png", ".bmp", ".gif",   ".docx",
                        ".cpp", ".h",   "",     ".tmp", ".tar.gz"};
  std::vector<std::string> names;
  for (const char* s : stems)
    for (const char* e : exts) names.push_back(std::string(s) + e);
  return names;
}

const char* const kFolderPatterns[] = {"Backup",  "TEMP*", "*.git",  "node_modules", "build-??",
                                       "*cache*", "obj?",  "*v?.?*", "*bak?up*",     "Thumbs?db"};

void RunMatches(benchmark::State& state, const twn::TFileSpecProcessor& p, bool upper,
                bool match_all_result) {
  std::vector<std::string> names = Names();
  if (upper)
    for (std::string& n : names) twn::platform::UpperCaseInPlace(n);
  const long before = g_allocations.load();
  long selected = 0;
  for (auto _ : state) {
    for (const std::string& n : names) {
      const bool m = upper ? p.MatchesUpper(n, match_all_result) : p.Matches(n, match_all_result);
      selected += m;
    }
    benchmark::DoNotOptimize(selected);
  }
  const long allocations = g_allocations.load() - before;
  state.SetItemsProcessed(static_cast<int64_t>(state.iterations() * names.size()));
  state.counters["allocations"] = static_cast<double>(allocations);
  state.counters["selected"] =
      static_cast<double>(selected) / static_cast<double>(state.iterations());
}

void BM_IncludeImages(benchmark::State& state) {
  twn::TFileSpecProcessor p;
  p.SetSpecs("*.bmp; *.gif; *.jpg");
  RunMatches(state, p, state.range(0) != 0, true);
}
BENCHMARK(BM_IncludeImages)->Arg(0)->Arg(1)->ArgName("upper");

void BM_FolderPatterns(benchmark::State& state) {
  twn::TFolderFilter filter;
  for (const char* pattern : kFolderPatterns) filter.AddPattern(pattern);
  twn::TFileSpecProcessor p;
  filter.LoadInto(p);
  RunMatches(state, p, state.range(0) != 0, false);
}
BENCHMARK(BM_FolderPatterns)->Arg(0)->Arg(1)->ArgName("upper");

}  // namespace

BENCHMARK_MAIN();
