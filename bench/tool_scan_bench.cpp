// scan-bench: one job's analysis half, timed and weighed.
//
//   scan-bench [--method mirror-lr|mirror-rl|copy-lr|copy-rl|update] [--no-subfolders]
//              [--threads N] [--check-threads] LEFT RIGHT
//
// Sets up a TScanInfo from a job of one folder pair and the method's preset (default rules and
// filters), runs ScanPairs (scan, compare, plan) and prints the count of every class and plan
// action, the wall time of the scan and of compare + plan, and the peak memory per scanned file.
// The last line ("result: key=value ...") is for scripts. --threads sets the scan's threads
// (default: one per core); --check-threads first scans on one thread and on the default ones and
// fails unless both give the same tables, items and plan (its texts then weigh on the peak memory).
#include <sys/resource.h>
#include <unistd.h>

#include <array>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "engine/scan_info.h"
#include "engine/scan_text.h"
#include "model/job_data.h"
#include "model/method_presets.h"
#include "platform/cores.h"

namespace {

using TClock = std::chrono::steady_clock;

constexpr std::array<std::string_view, 13> kClassNames = {
    "",          "left single", "right single", "left newer",   "left older",
    "equal",     "same time",   "folder left",  "folder right", "folder both",
    "root left", "root right",  "root both"};

int Usage(const std::string& problem) {
  std::fprintf(
      stderr,
      "scan-bench: %s\n"
      "usage: scan-bench [--method mirror-lr|mirror-rl|copy-lr|copy-rl|update] "
      "[--no-subfolders] [--no-links] [--no-folder-times] [--threads N] [--check-threads]\n"
      "       LEFT RIGHT\n",
      problem.c_str());
  return 2;
}

/// Peak resident set so far, in bytes.
uint64_t PeakRss() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return static_cast<uint64_t>(usage.ru_maxrss) * 1024;
}

double Seconds(TClock::duration d) {
  return std::chrono::duration<double>(d).count();
}

/// Notes when the scan ends, and shows a progress line on a terminal.
class TBenchObserver : public twn::TScanObserver {
 public:
  void ScanProgress(const twn::TScanCounters& c) override {
    if (!tty_) return;
    auto now = TClock::now();
    if (now - last_shown_ < std::chrono::milliseconds(200)) return;
    last_shown_ = now;
    std::fprintf(stderr, "\rscan-bench: %lld folders, %lld files",
                 static_cast<long long>(c.folders_scanned[0] + c.folders_scanned[1]),
                 static_cast<long long>(c.files_found[0] + c.files_found[1]));
  }
  void ScanFinished(const twn::TScanCounters&) override {
    scan_end = TClock::now();
    if (tty_) std::fputc('\n', stderr);
  }
  TClock::time_point scan_end;

 private:
  bool tty_ = isatty(STDERR_FILENO) != 0;
  TClock::time_point last_shown_;
};

struct TOptions {
  int32_t method = twn::kMethodMirrorL;
  std::string_view method_name = "mirror-lr";
  bool subfolders = true;
  int threads = 0;
  bool check_threads = false;
  bool links = true;
  bool folder_times = true;
  std::string paths[2];
};

/// 0 on success, else the exit status after the usage message.
int ParseOptions(int argc, char** argv, TOptions& opt) {
  int n_paths = 0;
  for (int i = 1; i < argc; ++i) {
    std::string_view arg = argv[i];
    if (arg == "--no-subfolders") {
      opt.subfolders = false;
    } else if (arg == "--no-links") {
      opt.links = false;
    } else if (arg == "--no-folder-times") {
      opt.folder_times = false;
    } else if (arg == "--check-threads") {
      opt.check_threads = true;
    } else if (arg == "--threads") {
      if (++i == argc) return Usage("missing count after --threads");
      opt.threads = std::atoi(argv[i]);
      if (opt.threads < 1) return Usage("--threads needs a count of at least 1");
    } else if (arg == "--method") {
      if (++i == argc) return Usage("missing method after --method");
      const auto method = twn::MethodByShortName(argv[i]);
      if (!method) return Usage("unknown method '" + std::string(argv[i]) + "'");
      opt.method = *method;
      opt.method_name = twn::kMethodShortNames[size_t(*method - twn::kMethodMirrorL)];
    } else if (arg.starts_with("-")) {
      return Usage("unknown option " + std::string(arg));
    } else if (n_paths == 2) {
      return Usage("more than two folders given");
    } else {
      opt.paths[n_paths++] = arg;
    }
  }
  return n_paths == 2 ? 0 : Usage("LEFT and RIGHT folders are required");
}

void PrintCounts(const twn::TScanInfo& info) {
  const twn::TClassCounters& cc = info.ClassCounters();
  std::array<int64_t, 13> classes{};
  auto items = info.Items();
  for (int32_t i = 0; i < items.Count(); ++i) ++classes[items.Class(i)];
  for (size_t c = 1; c < classes.size(); ++c) {
    std::printf("class  %2zu %10lld  %s", c, static_cast<long long>(classes[c]),
                std::string(kClassNames[c]).c_str());
    if (c <= 6)
      std::printf("%*s  bytes L %llu R %llu", static_cast<int>(14 - kClassNames[c].size()), "",
                  static_cast<unsigned long long>(cc.bytes[c][0]),
                  static_cast<unsigned long long>(cc.bytes[c][1]));
    std::printf("\n");
  }
  const twn::TPlanCounters& pc = info.PlanCounters();
  std::array<int64_t, twn::kActionCount> actions{};
  auto plan = info.Plan();
  for (int32_t i = 0; i < plan.Count(); ++i) ++actions[plan.Action(i)];
  for (int a = 1; a < twn::kActionCount; ++a)
    std::printf("action %2d %10lld  %s\n", a, static_cast<long long>(actions[a]),
                std::string(twn::kPlanActionNames[a]).c_str());
  std::printf("plan   %d entries; folders to create L %lld R %lld, to remove L %lld R %lld\n",
              plan.Count(), static_cast<long long>(pc.folders_to_create[0]),
              static_cast<long long>(pc.folders_to_create[1]),
              static_cast<long long>(pc.folders_to_remove[0]),
              static_cast<long long>(pc.folders_to_remove[1]));
}

/// Scans on one thread and on one per core; false, after saying so, when the texts differ.
bool SameOnOneThread(const twn::TJobData& job) {
  std::string text[2];
  for (int threads : {1, 0}) {
    twn::TScanInfo info;
    info.Setup(job);
    info.SetScanThreads(threads);
    if (!info.ScanPairs(job.Pairs)) return false;
    text[threads ? 0 : 1] = twn::ScanText(info);
  }
  const bool same = text[0] == text[1];
  std::printf("threads: %s tables, items and plan on one thread and on %u\n",
              same ? "identical" : "DIFFERENT", twn::platform::UsableCores());
  return same;
}

}  // namespace

int main(int argc, char** argv) {
  const uint64_t baseline = PeakRss();
  TOptions opt;
  if (int rc = ParseOptions(argc, argv, opt)) return rc;

  twn::TJobData job;
  twn::TPairItem pair;
  pair.L_Path = opt.paths[0];
  pair.R_Path = opt.paths[1];
  pair.bSubFLD = opt.subfolders;
  job.Pairs.push_back(pair);
  job.RefreshPairKeys();
  twn::ApplyMethod(job, opt.method);
  job.bCopyLinks = opt.links;
  job.bFolderTimes = opt.folder_times;

  if (opt.check_threads && !SameOnOneThread(job)) return 1;
  TBenchObserver observer;
  twn::TScanInfo info;
  info.SetScanThreads(opt.threads);
  const auto start = TClock::now();
  info.Setup(job);
  if (!info.ScanPairs(job.Pairs, observer)) {
    std::fprintf(stderr, "scan-bench: the scan was stopped\n");
    return 1;
  }
  const auto end = TClock::now();
  const uint64_t peak = PeakRss();

  const twn::TScanCounters& sc = info.ScanCounters();
  const int64_t files = sc.files_found[0] + sc.files_found[1];
  const int64_t folders = sc.folders_scanned[0] + sc.folders_scanned[1];
  std::printf("scan-bench: %s '%s' -> '%s'\n", std::string(opt.method_name).c_str(),
              opt.paths[0].c_str(), opt.paths[1].c_str());
  for (int side = 0; side < 2; ++side) {
    std::printf("scanned %-5s %10lld files %8lld folders%s\n", side == 0 ? "left" : "right",
                static_cast<long long>(sc.files_found[side]),
                static_cast<long long>(sc.folders_scanned[side]),
                info.RootExists(0, side) ? "" : " (root missing)");
  }
  PrintCounts(info);

  const double total = Seconds(end - start), scan = Seconds(observer.scan_end - start);
  const double per_file = files > 0 ? 1.0 / static_cast<double>(files) : 0.0;
  const uint64_t net = peak > baseline ? peak - baseline : 0;
  std::printf("time   %.3f s: scan %.3f s, compare + plan %.3f s\n", total, scan, total - scan);
  std::printf(
      "memory peak %.1f MiB over a baseline of %.1f MiB: %.0f bytes per scanned file; "
      "tables and pools now %.0f bytes per file (pool %.0f)\n",
      static_cast<double>(peak) / 1048576, static_cast<double>(baseline) / 1048576,
      static_cast<double>(net) * per_file, static_cast<double>(info.AllocatedBytes()) * per_file,
      static_cast<double>(info.PoolBytes()) * per_file);
  std::printf(
      "result: files=%lld folders=%lld wall_s=%.4f scan_s=%.4f peak_bytes=%llu "
      "baseline_bytes=%llu bytes_per_file=%.1f\n",
      static_cast<long long>(files), static_cast<long long>(folders), total, scan,
      static_cast<unsigned long long>(peak), static_cast<unsigned long long>(baseline),
      static_cast<double>(net) * per_file);
  return 0;
}
