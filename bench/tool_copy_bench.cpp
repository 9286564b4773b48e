// copy-bench: a job's copy stage against `cp -a` on the same data in the same run.
//
//   copy-bench WORK_DIR [REPS]
//
// Builds about 1 GiB of source data twice under WORK_DIR (1,024 files of 1 MiB, and one file of
// 1 GiB), then copies each set REPS times (default 3) with a mirror job onto an empty folder and
// with `cp -a`, alternating, each onto a fresh folder after `sync`. Prints the best and the
// median throughput of each and the ratios job / cp (target: at least 0.9). WORK_DIR is removed
// after.
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "run/job.h"
#include "model/method_presets.h"
#include "run/job_thread.h"
#include "run/queue_host.h"

extern char** environ;

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;
constexpr int64_t kMiB = 1 << 20;

void WriteData(const std::string& path, int64_t size, unsigned seed) {
  std::vector<char> block(kMiB);
  std::ofstream out(path, std::ios::binary);
  for (int64_t done = 0; done < size; done += kMiB) {
    for (size_t i = 0; i < block.size(); i += 64) block[i] = char(seed++ * 2654435761u >> 24);
    out.write(block.data(), std::streamsize(std::min<int64_t>(kMiB, size - done)));
  }
}

int Spawn(std::vector<std::string> words) {
  std::vector<char*> argv;
  for (std::string& w : words) argv.push_back(w.data());
  argv.push_back(nullptr);
  pid_t pid = 0;
  if (posix_spawnp(&pid, argv[0], nullptr, nullptr, argv.data(), environ) != 0) return -1;
  int status = 0;
  waitpid(pid, &status, 0);
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// Seconds for a mirror job that copies `source` onto the empty `target`.
double JobCopy(const std::string& source, const std::string& target) {
  fs::create_directories(target);
  twn::TJob job(twn::NewJobID());
  job.Data.JobName = "bench";
  twn::TPairItem pair;
  pair.L_Path = source;
  pair.R_Path = target;
  pair.bSubFLD = true;
  job.Data.Pairs.push_back(pair);
  twn::ApplyMethod(job.Data, twn::kMethodMirrorL);
  bool finished = false;
  twn::TQueueHost host(
      [&](twn::TNotifyWindow, uint32_t m, int32_t) { finished |= m == twn::WM_JOBFINISHED; });
  const auto start = Clock::now();
  job.Start(host, 1, twn::rmCompareAndSync);
  while (!finished) host.ServeFor(std::chrono::milliseconds(100));
  const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
  job.ResetAfterRun();
  if (job.HadErrors()) std::fprintf(stderr, "copy-bench: the job reported errors\n");
  return seconds;
}

double CpCopy(const std::string& source, const std::string& target) {
  const auto start = Clock::now();
  if (Spawn({"cp", "-a", source, target}) != 0) std::fprintf(stderr, "copy-bench: cp failed\n");
  return std::chrono::duration<double>(Clock::now() - start).count();
}

double Median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return v[v.size() / 2];
}

double Best(const std::vector<double>& v) {
  return *std::min_element(v.begin(), v.end());
}

void Measure(const std::string& label, const std::string& source, const std::string& work,
             int64_t bytes, int reps) {
  std::vector<double> job, cp;
  for (int r = 0; r < reps; ++r) {
    for (int which : {r % 2, 1 - r % 2}) {  // alternate who goes first
      const std::string target = work + "/target";
      fs::remove_all(target);
      ::sync();
      (which == 0 ? job : cp)
          .push_back(which == 0 ? JobCopy(source, target) : CpCopy(source, target));
    }
  }
  fs::remove_all(work + "/target");
  // On a shared machine the best run shows the copy itself; the median shows the spread.
  const double mib = double(bytes) / kMiB;
  std::printf(
      "%-20s  best: job %7.1f MiB/s  cp -a %7.1f MiB/s  ratio %.2f   "
      "median: job %7.1f  cp -a %7.1f  ratio %.2f   (target >= 0.90)\n",
      label.c_str(), mib / Best(job), mib / Best(cp), Best(cp) / Best(job), mib / Median(job),
      mib / Median(cp), Median(cp) / Median(job));
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: copy-bench WORK_DIR [REPS]\n");
    return 2;
  }
  const std::string work = argv[1];
  const int reps = argc > 2 ? std::max(1, std::atoi(argv[2])) : 3;
  fs::create_directories(work + "/files");
  for (int i = 0; i < 1024; ++i)
    WriteData(work + "/files/f" + std::to_string(i) + ".bin", kMiB, unsigned(i));
  fs::create_directories(work + "/big");
  WriteData(work + "/big/one.bin", 1024 * kMiB, 7);
  Measure("1024 files of 1 MiB", work + "/files", work, 1024 * kMiB, reps);
  Measure("one file of 1 GiB", work + "/big", work, 1024 * kMiB, reps);
  fs::remove_all(work);
  return 0;
}
