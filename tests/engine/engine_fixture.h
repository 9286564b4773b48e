#pragma once
// Shared by the engine tests: a left and a right tree in a scratch folder, a job over them, and
// look-ups of comparison items by relative path.
#include <gtest/gtest.h>

#include <string>
#include <string_view>
#include <vector>

#include "engine/scan_info.h"
#include "model/job_data.h"
#include "model/method_presets.h"
#include "support/test_support.h"

namespace twn::test {

/// A fixed moment (2020-09-13) the tests give file times relative to.
inline constexpr int64_t kT0 = 1'600'000'000;

class TTwoTrees {
 public:
  std::string Root(int side) const { return dir_ / (side == kLeft ? "L" : "R"); }
  std::string Path(int side, std::string_view rel) const {
    return Root(side) + "/" + std::string(rel);
  }
  /// A file with the given content and last-write time (seconds after kT0, plus nanoseconds).
  void File(int side, std::string_view rel, std::string_view content = "x", int64_t at = 0,
            long ns = 0) const {
    WriteFile(Path(side, rel), content);
    SetMTime(Path(side, rel), kT0 + at, ns);
  }
  void Folder(int side, std::string_view rel) const { MakeDirs(Path(side, rel)); }
  /// Entries "L:rel" or "R:rel"; a folder ends with "/", and "L:" alone is the left root.
  void Make(const std::vector<std::string_view>& entries) const {
    for (std::string_view entry : entries) {
      const int side = entry[0] == 'L' ? kLeft : kRight;
      const std::string_view rel = entry.substr(2);
      if (rel.empty() || rel.back() == '/')
        Folder(side, rel);
      else
        File(side, rel);
    }
  }
  /// A job with one pair over the two roots, subfolders included, and the method applied.
  TJobData Job(int32_t method = kMethodCustom) const {
    TJobData job;
    TPairItem pair;
    pair.L_Path = Root(kLeft);
    pair.R_Path = Root(kRight);
    pair.bSubFLD = true;
    job.Pairs.push_back(pair);
    ApplyMethod(job, method);
    return job;
  }

 private:
  TempDir dir_;
};

/// Setup, scan, compare and plan.
inline void RunJob(TScanInfo& info, const TJobData& job) {
  info.Setup(job);
  ASSERT_TRUE(info.ScanPairs(job.Pairs));
}

/// The item of a file ("sub/name.txt", found by the name of either side) or a folder ("sub/",
/// "" for the root) in a list; -1 if none.
inline int32_t FindItem(const TItemList& items, std::string_view rel) {
  for (int32_t i = 0; i < items.Count(); ++i) {
    std::string path(items.RelativePath(i));
    if (items.IsFolder(i)) {
      if (path == rel) return i;
      continue;
    }
    for (int side : {kLeft, kRight})
      if (items.Index(i, side) >= 0 && path + std::string(items.FileName(i, side)) == rel) return i;
  }
  return -1;
}

/// The planned action of an item (as FindItem names it); -1 when there is no such item, so a
/// missing item never passes for "nothing to do".
inline int ActionOf(const TScanInfo& info, std::string_view rel) {
  const int32_t i = FindItem(info.Items(), rel);
  return i < 0 ? -1 : info.Items().Action(i);
}

/// The comparison class of an item; -1 when there is none.
inline int ClassOf(const TScanInfo& info, std::string_view rel) {
  const int32_t i = FindItem(info.Items(), rel);
  return i < 0 ? -1 : info.Items().Class(i);
}

}  // namespace twn::test
