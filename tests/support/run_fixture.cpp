#include "support/run_fixture.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <regex>

#include "model/method_presets.h"
#include "support/test_support.h"

namespace twn::test {

int TRunFixture::Count(uint32_t message, int32_t job_id) const {
  return static_cast<int>(std::count_if(posted.begin(), posted.end(), [&](const TPosted& p) {
    return p.message == message && p.job_id == job_id;
  }));
}

void TRunFixture::ServeUntilFinished(std::vector<TJob*> jobs) {
  const auto all_done = [&] {
    return std::all_of(jobs.begin(), jobs.end(),
                       [&](TJob* job) { return Count(WM_JOBFINISHED, job->JobID) > 0; });
  };
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
  while (!all_done()) {
    host.ServeFor(std::chrono::milliseconds(20));
    ASSERT_LT(std::chrono::steady_clock::now(), deadline) << "run did not finish";
  }
  for (TJob* job : jobs) job->ResetAfterRun();
}

void TRunFixture::Run(TJob& job, TRunMode mode, TRunHost* via) {
  posted.clear();
  ASSERT_TRUE(job.Start(via ? *via : host, 1, mode));
  ServeUntilFinished({&job});
}

std::unique_ptr<TJob> MakeJob(const std::string& name, const std::string& left,
                              const std::string& right, int32_t method) {
  auto job = std::make_unique<TJob>(NewJobID());
  job->Data.JobName = name;
  TPairItem pair;
  pair.L_Path = left;
  pair.R_Path = right;
  pair.bSubFLD = true;
  job->Data.Pairs.push_back(pair);
  ApplyMethod(job->Data, method);
  return job;
}

std::vector<std::string> Masked(const TLineList& list, const std::string& root) {
  // The C locale's short date and long time: 12/31/21 23:05:00 (the time left out at midnight).
  static const std::regex stamp(R"(\d\d/\d\d/\d\d( \d\d:\d\d:\d\d)?)");
  std::vector<std::string> lines = list.Lines();
  for (std::string& line : lines) {
    if (!root.empty()) {
      for (size_t at; (at = line.find(root)) != std::string::npos;)
        line.replace(at, root.size(), "D");
    }
    line = std::regex_replace(line, stamp, "T");
  }
  return lines;
}

std::vector<std::string> TreeOf(const std::string& root) {
  std::vector<std::string> entries;
  for (const auto& e : std::filesystem::recursive_directory_iterator(root)) {
    const std::string rel = std::filesystem::relative(e.path(), root).string();
    entries.push_back(e.is_directory() ? rel + "/" : rel + "=" + ReadFile(e.path().string()));
  }
  std::sort(entries.begin(), entries.end());
  return entries;
}

}  // namespace twn::test
