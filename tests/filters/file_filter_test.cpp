#include "filters/file_filter.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <limits>
#include <vector>

#include "platform/fs.h"
#include "platform/time.h"
#include "support/test_support.h"

namespace twn {
namespace {

using namespace platform;

constexpr int64_t kKB = 1024, kMB = 1024 * 1024;
constexpr int64_t kMax = std::numeric_limits<int64_t>::max();

TFilterExtProcessor Loaded(const TFileFilter& filter) {
  TFilterExtProcessor x;
  x.Load(filter);
  return x;
}

TEST(FileFilterTest, NewFilterIncludesEverythingWithNoCondition) {
  const TDateTime before = Now();
  const TFileFilter f;
  EXPECT_EQ("*.*", f.FLT_Include);
  EXPECT_GE(f.FLT_DateTimeA, before);
  EXPECT_EQ(f.FLT_DateTimeA, f.FLT_DateTimeB);
  EXPECT_FALSE(Loaded(f).IsActive());
  EXPECT_TRUE(Loaded(f).Verdict(kAttrHidden, 0, -1));
}

TEST(FileFilterTest, SizeConditionsInBytesWithInclusiveBounds) {
  const struct {
    int32_t pos;
    int64_t a, b;
    int32_t degree_a;
    std::vector<int64_t> pass, fail;
  } cases[] = {
      {0, 20, 0, 1, {20 * kKB}, {20 * kKB - 1}},          // "More than 20 KB" holds 20,480
      {1, 1, 0, 2, {kMB}, {kMB + 1}},                     // "Less than 1 MB"
      {2, 10, 20, 0, {10, 20}, {9, 21}},                  // "Between" holds both bounds
      {2, 20, 10, 0, {15, 10}, {9}},                      // bounds the other way round
      {3, 10, 20, 0, {10, 20}, {15}},                     // "Beyond"
      {3, 20, 10, 0, {25}, {15}},                         //
      {0, 3000, 0, 2, {3'145'728'000}, {3'145'727'999}},  // computed past 32 bits
      {7, 100, 0, 0, {100}, {99}},                        // an unknown mode is mode 0
      {-1, 100, 0, 0, {100}, {99}},                       //
      {0, 100, 0, 9, {100}, {99}},                        // an unknown unit is bytes
      {0, kMax / 2, 0, 2, {kMax}, {1}},  // far beyond any disk: held at the limit, not wrapped
  };
  for (const auto& c : cases) {
    TFileFilter f;
    f.FLT_bUseSize = true;
    f.FLT_SizePos = c.pos;
    f.FLT_SizeA = c.a;
    f.FLT_SizeB = c.b;
    f.FLT_SizeDegreeA = c.degree_a;
    const TFilterExtProcessor x = Loaded(f);
    EXPECT_TRUE(x.IsActive());
    for (bool expected : {true, false})
      for (int64_t size : expected ? c.pass : c.fail)
        EXPECT_EQ(expected, x.Verdict(0, 0, size))
            << "mode " << c.pos << " A " << c.a << " B " << c.b << " size " << size;
  }
}

TEST(FileFilterTest, AttributeMasksAndEveryEnabledCondition) {
  // Hidden ticked, System cleared, Archive and Read only grey.
  TFileFilter f;
  f.FLT_bUseAttr = true;
  f.FLT_Attr_IncMask = kAttrHidden;
  f.FLT_Attr_ExcMask = kAttrSystem;
  for (uint32_t pass : {kAttrHidden, kAttrHidden | kAttrArchive | kAttrReadOnly})
    EXPECT_TRUE(Loaded(f).Verdict(pass, 0, 0)) << pass;
  for (uint32_t fail : {kAttrArchive, kAttrHidden | kAttrSystem, kAttrNormal})
    EXPECT_FALSE(Loaded(f).Verdict(fail, 0, 0)) << fail;
  // With a size condition as well, both must hold.
  f.FLT_bUseSize = true;
  f.FLT_SizeA = 10;
  const TFilterExtProcessor x = Loaded(f);
  EXPECT_TRUE(x.Verdict(kAttrHidden, 0, 10));
  EXPECT_FALSE(x.Verdict(kAttrHidden, 0, 9));
  EXPECT_FALSE(x.Verdict(kAttrArchive, 0, 10));
}

// Date bounds are local date-times, made UTC with the offset in force now for every date.
TEST(FileFilterTest, DateBoundsBecomeUtcWithTheOffsetInForceNow) {
  TFileFilter f;
  f.FLT_bUseDate = true;
  f.FLT_DatePos = fdBetween;
  f.FLT_DateTimeA = EncodeDateTime(2024, 1, 15, 12, 0, 0);
  f.FLT_DateTimeB = EncodeDateTime(2024, 1, 16, 12, 0, 0);
  {
    test::ScopedTimeZone tz("Asia/Kolkata");  // UTC+5:30
    const TFilterExtProcessor x = Loaded(f);
    EXPECT_EQ(FileTimeFromUnix(1705300200, 0), x.TimeA());  // 2024-01-15 06:30 UTC
    EXPECT_EQ(86400 * kFileTicksPerSecond, x.TimeB() - x.TimeA());
  }
  {
    test::ScopedTimeZone tz("Etc/GMT+5");  // UTC-5: the same filter, other bounds
    EXPECT_EQ(FileTimeFromUnix(1705338000, 0), Loaded(f).TimeA());  // 2024-01-15 17:00 UTC
  }
  // A winter and a summer bound stay exactly their calendar distance apart even in a zone
  // with daylight saving.
  test::ScopedTimeZone tz("Europe/Berlin");
  f.FLT_DateTimeB = EncodeDateTime(2024, 7, 1, 12, 0, 0);
  const TFilterExtProcessor x = Loaded(f);
  const int64_t days = static_cast<int64_t>(f.FLT_DateTimeB - f.FLT_DateTimeA);
  EXPECT_EQ(days * 86400 * kFileTicksPerSecond, x.TimeB() - x.TimeA());
  EXPECT_EQ(CurrentUtcOffsetSeconds() * kFileTicksPerSecond,
            LocalFileTimeFromDateTime(f.FLT_DateTimeA) - x.TimeA());
}

TEST(FileFilterTest, DateConditionsWithInclusiveBounds) {
  const TDateTime base = EncodeDateTime(2024, 3, 10, 8, 0, 0);
  const int64_t base_unix = 1710057600;  // 2024-03-10 08:00 UTC
  const struct {
    int32_t pos;
    int64_t a_s, b_s;  // seconds after base
    std::vector<int64_t> pass, fail;
  } cases[] = {
      {0, 0, 0, {0, -1}, {1}},        // "Older than A" holds A itself
      {1, 0, 0, {0, 1}, {-1}},        // "Newer than A"
      {2, 0, 60, {0, 60}, {-1, 61}},  // "Between"
      {2, 60, 0, {30}, {-1}},         // A later than B: read the other way round
      {3, 0, 60, {0, 60}, {30}},      // "Beyond"
      {3, 60, 0, {0}, {30}},          //
      {9, 0, 0, {0}, {1}},            // an unknown mode is mode 0
  };
  test::ScopedTimeZone tz("UTC");
  for (const auto& c : cases) {
    TFileFilter f;
    f.FLT_bUseDate = true;
    f.FLT_DatePos = c.pos;
    f.FLT_DateTimeA = base + c.a_s / 86400.0;
    f.FLT_DateTimeB = base + c.b_s / 86400.0;
    const TFilterExtProcessor x = Loaded(f);
    for (bool expected : {true, false})
      for (int64_t at : expected ? c.pass : c.fail)
        EXPECT_EQ(expected, x.Verdict(0, FileTimeFromUnix(base_unix + at, 0), 0))
            << "mode " << c.pos << " file " << at;
  }
}

TEST(FileFilterTest, DamagedDatesStillGiveBounds) {
  TFileFilter f;
  f.FLT_bUseDate = true;
  f.FLT_DatePos = fdBetween;
  f.FLT_DateTimeB = 0;
  for (double bad : {std::nan(""), HUGE_VAL, -HUGE_VAL, 1e300}) {
    f.FLT_DateTimeA = bad;
    const TFilterExtProcessor x = Loaded(f);
    EXPECT_LE(x.TimeA(), x.TimeB()) << bad;
  }
}

}  // namespace
}  // namespace twn
