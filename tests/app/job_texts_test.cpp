// Texts of a job for the job list and a progress display.
#include "app/job_texts.h"

#include <gtest/gtest.h>

namespace twn {
namespace {

TEST(JobTexts, PercentFollowsTheCopiedKiBOnlyWhileCopying) {
  const struct {
    int32_t stage;
    int32_t kb_copied, kb_to_copy;
    int percent;
    const char* bar;
  } cases[] = {
      {rsScanning, 0, 0, 0, "[....................]   0%  Scanning  files 7"},
      {rsCopying, 512, 2048, 25, "[#####...............]  25%  Copying  files 3/9  KiB 512/2048"},
      {rsCopying, 5, 0, 100, "[####################] 100%  Copying  files 3/9  KiB 5/0"},
      {rsDeleting, 0, 2048, 100, "[####################] 100%  Deleting  files 3/9  KiB 0/2048"},
      {rsTerminated, 1024, 2048, 50,
       "[##########..........]  50%  Terminated  files 3/9  KiB 1024/2048"},
  };
  for (const auto& c : cases) {
    TJobSafeProgress p{};
    p.Stage = c.stage;
    p.KbCopied = c.kb_copied;
    p.KbToCopy = c.kb_to_copy;
    p.FilesFoundLeft = 4;
    p.FilesFoundRight = 3;
    p.FilesCopiedLeft = 2;
    p.CopyErrorsRight = 1;
    p.FilesToCopy = 9;
    EXPECT_EQ(RunPercent(p), c.percent) << c.bar;
    EXPECT_EQ(ProgressBarText(p), c.bar);
  }
}

}  // namespace
}  // namespace twn
