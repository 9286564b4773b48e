#include "model/versions.h"

#include <gtest/gtest.h>

namespace twn {
namespace {

// Only the exact stamp after the last '~' makes a version: a user's own file never is one.
TEST(VersionName, ParsesOnlyExactStamps) {
  const struct {
    const char* name;
    const char* base;  // null: not a version
    int clash;
  } cases[] = {
      {"report.txt~2026-12-07_164705", "report.txt", 1},
      {"a~b~2026-12-07_164705-12", "a~b", 12},
      {"notes~draft", nullptr, 0},
      {"~2026-12-07_164705", nullptr, 0},
      {"a~2026-12-07_16470", nullptr, 0},
      {"a~2026-12-07_1647051", nullptr, 0},
      {"a~2026-02-30_000000", nullptr, 0},
      {"a~2026-12-07_246000", nullptr, 0},
      {"a~2026-12-07_164705-1", nullptr, 0},
      {"a~2026-12-07_164705-02", nullptr, 0},
      {"a~2026-12-07_164705x", nullptr, 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const auto v = SplitVersionName(c.name);
    ASSERT_EQ(v.has_value(), c.base != nullptr);
    if (!v) continue;
    EXPECT_EQ(v->base, c.base);
    EXPECT_EQ(v->clash, c.clash);
    EXPECT_EQ(VersionName(v->base, v->stamp.substr(0, 17), v->clash), c.name);
  }
  const platform::TDateTime t = platform::EncodeDateTime(2026, 12, 7, 16, 47, 5);
  EXPECT_EQ(VersionStamp(t), "2026-12-07_164705");
  EXPECT_EQ(SplitVersionName("f~" + VersionStamp(t))->time, t);
}

}  // namespace
}  // namespace twn
