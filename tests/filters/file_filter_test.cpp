#include "filters/file_filter.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <limits>

#include "platform/fs.h"
#include "platform/time.h"
#include "support/test_support.h"

namespace twn {
namespace {

using platform::EncodeDateTime;
using platform::FileTimeFromUnix;
using platform::kFileTicksPerSecond;

constexpr int64_t kKB = 1024;
constexpr int64_t kMB = 1024 * 1024;

TEST(FileFilterTest, NewFilterIncludesEverythingWithNoCondition) {
  const double before = platform::Now();
  TFileFilter f;
  EXPECT_EQ(f.FLT_Include, "*.*");
  EXPECT_EQ(f.FLT_Exclude, "");
  EXPECT_FALSE(f.FLT_bUseExclude || f.FLT_bUseDate || f.FLT_bUseSize || f.FLT_bUseAttr);
  EXPECT_GE(f.FLT_DateTimeA, before);
  EXPECT_EQ(f.FLT_DateTimeA, f.FLT_DateTimeB);

  TFilterExtProcessor x;
  x.Load(f);
  EXPECT_FALSE(x.IsActive());
  EXPECT_TRUE(x.Verdict(platform::kAttrHidden, 0, -1));
}

TEST(FileFilterTest, AssignCopiesEveryField) {
  TFileFilter a;
  a.FilterName = "Pictures";
  a.FLT_Include = "*.jpg";
  a.FLT_Exclude = "x*";
  a.FLT_bUseExclude = a.FLT_bUseDate = a.FLT_bUseSize = a.FLT_bUseAttr = true;
  a.FLT_DateTimeA = 1.5;
  a.FLT_DateTimeB = 2.5;
  a.FLT_DatePos = 3;
  a.FLT_SizeA = 5;
  a.FLT_SizeB = 6;
  a.FLT_SizeDegreeA = 1;
  a.FLT_SizeDegreeB = 2;
  a.FLT_SizePos = 2;
  a.FLT_Attr_IncMask = 2;
  a.FLT_Attr_ExcMask = 4;
  TFileFilter b;
  b.Assign(a);
  EXPECT_EQ(b, a);
}

struct SizeCase {
  int32_t pos;
  int64_t a, b;
  int32_t degree_a, degree_b;
  int64_t size;
  bool expected;
};

TEST(FileFilterTest, SizeConditionsInBytesWithInclusiveBounds) {
  const SizeCase cases[] = {
      {0, 20, 0, 1, 0, 20 * kKB, true},  // "More than 20 KB": exactly 20,480 is selected
      {0, 20, 0, 1, 0, 20 * kKB - 1, false},
      {1, 1, 0, 2, 0, kMB, true},  // "Less than 1 MB"
      {1, 1, 0, 2, 0, kMB + 1, false},
      {2, 10, 20, 0, 0, 10, true},  // "Between": both bounds belong to the range
      {2, 10, 20, 0, 0, 20, true},
      {2, 10, 20, 0, 0, 21, false},
      {2, 20, 10, 0, 0, 15, true},  // bounds given the other way round
      {2, 20, 10, 0, 0, 9, false},
      {3, 10, 20, 0, 0, 10, true},  // "Beyond"
      {3, 10, 20, 0, 0, 15, false},
      {3, 20, 10, 0, 0, 25, true},
      {3, 20, 10, 0, 0, 15, false},
      {0, 3000, 0, 2, 0, 3'145'728'000, true},  // computed past 32 bits
      {0, 3000, 0, 2, 0, 3'145'727'999, false},
      {7, 100, 0, 0, 0, 100, true},  // an unknown mode is mode 0
      {-1, 100, 0, 0, 0, 99, false},
      {0, 100, 0, 9, 0, 100, true},  // an unknown unit is bytes
      {0, 100, 0, 9, 0, 99, false},
      // A damaged value far beyond any disk is held at the 64-bit limit, not wrapped.
      {0, std::numeric_limits<int64_t>::max() / 2, 0, 2, 0, std::numeric_limits<int64_t>::max(),
       true},
      {0, std::numeric_limits<int64_t>::max() / 2, 0, 2, 0, 1, false},
  };
  for (const SizeCase& c : cases) {
    SCOPED_TRACE(testing::Message()
                 << "mode " << c.pos << " A " << c.a << " B " << c.b << " size " << c.size);
    TFileFilter f;
    f.FLT_bUseSize = true;
    f.FLT_SizePos = c.pos;
    f.FLT_SizeA = c.a;
    f.FLT_SizeB = c.b;
    f.FLT_SizeDegreeA = c.degree_a;
    f.FLT_SizeDegreeB = c.degree_b;
    TFilterExtProcessor x;
    x.Load(f);
    EXPECT_TRUE(x.IsActive());
    EXPECT_EQ(x.Verdict(0, 0, c.size), c.expected);
  }
}

TEST(FileFilterTest, SizesAreSwappedOnlyForRangeModes) {
  TFileFilter f;
  f.FLT_SizeA = 2;
  f.FLT_SizeB = 1;
  f.FLT_SizeDegreeB = 1;  // B is 1 KB, so A (2 bytes) is the smaller after all
  TFilterExtProcessor x;
  f.FLT_SizePos = 2;
  x.Load(f);
  EXPECT_FALSE(x.SizesSwapped());
  f.FLT_SizeDegreeB = 0;
  for (int32_t pos : {0, 1, 2, 3}) {
    f.FLT_SizePos = pos;
    x.Load(f);
    EXPECT_EQ(x.SizesSwapped(), pos >= 2) << pos;
    EXPECT_EQ(x.SizeA(), pos >= 2 ? 1 : 2) << pos;
  }
}

TEST(FileFilterTest, AttributeMasksRequireAndForbidBits) {
  // Hidden ticked, System cleared, Archive and Read only grey.
  TFileFilter f;
  f.FLT_bUseAttr = true;
  f.FLT_Attr_IncMask = platform::kAttrHidden;
  f.FLT_Attr_ExcMask = platform::kAttrSystem;
  TFilterExtProcessor x;
  x.Load(f);
  using namespace platform;
  EXPECT_TRUE(x.Verdict(kAttrHidden, 0, 0));
  EXPECT_TRUE(x.Verdict(kAttrHidden | kAttrArchive | kAttrReadOnly, 0, 0));
  EXPECT_FALSE(x.Verdict(kAttrHidden | kAttrSystem, 0, 0));
  EXPECT_FALSE(x.Verdict(kAttrArchive, 0, 0));
  EXPECT_FALSE(x.Verdict(kAttrNormal, 0, 0));
}

TEST(FileFilterTest, EveryEnabledConditionMustHold) {
  TFileFilter f;
  f.FLT_bUseAttr = f.FLT_bUseSize = true;
  f.FLT_Attr_IncMask = platform::kAttrArchive;
  f.FLT_SizeA = 10;
  TFilterExtProcessor x;
  x.Load(f);
  EXPECT_TRUE(x.Verdict(platform::kAttrArchive, 0, 10));
  EXPECT_FALSE(x.Verdict(platform::kAttrArchive, 0, 9));
  EXPECT_FALSE(x.Verdict(0, 0, 10));
}

// Date bounds are local date-times; a zone without daylight saving pins the offset.
TEST(FileFilterTest, DateBoundsBecomeUtcWithTheZonesOffset) {
  TFileFilter f;
  f.FLT_bUseDate = true;
  f.FLT_DateTimeA = EncodeDateTime(2024, 1, 15, 12, 0, 0);
  f.FLT_DateTimeB = EncodeDateTime(2024, 1, 16, 12, 0, 0);
  TFilterExtProcessor x;
  {
    test::ScopedTimeZone tz("Asia/Kolkata");  // UTC+5:30
    x.Load(f);
    EXPECT_EQ(x.TimeA(), FileTimeFromUnix(1705300200, 0));  // 2024-01-15 06:30 UTC
    EXPECT_EQ(x.TimeB() - x.TimeA(), 86400 * kFileTicksPerSecond);
  }
  {
    // The same filter run under another zone gives other bounds.
    test::ScopedTimeZone tz("Etc/GMT+5");  // UTC-5
    x.Load(f);
    EXPECT_EQ(x.TimeA(), FileTimeFromUnix(1705338000, 0));  // 2024-01-15 17:00 UTC
  }
}

TEST(FileFilterTest, DateBoundsUseTheOffsetInForceNowForEveryDate) {
  // A winter and a summer bound are both converted with today's offset, so they stay exactly
  // their calendar distance apart even in a zone with daylight saving.
  test::ScopedTimeZone tz("Europe/Berlin");
  TFileFilter f;
  f.FLT_bUseDate = true;
  f.FLT_DatePos = fdBetween;
  f.FLT_DateTimeA = EncodeDateTime(2024, 1, 1, 12, 0, 0);
  f.FLT_DateTimeB = EncodeDateTime(2024, 7, 1, 12, 0, 0);
  TFilterExtProcessor x;
  x.Load(f);
  const double days = f.FLT_DateTimeB - f.FLT_DateTimeA;
  EXPECT_EQ(x.TimeB() - x.TimeA(), static_cast<int64_t>(days) * 86400 * kFileTicksPerSecond);
  const int64_t local_a = platform::LocalFileTimeFromDateTime(f.FLT_DateTimeA);
  EXPECT_EQ(local_a - x.TimeA(), platform::CurrentUtcOffsetSeconds() * kFileTicksPerSecond);
}

struct DateCase {
  int32_t pos;
  int64_t a_offset_s, b_offset_s;  // bounds relative to a fixed moment
  int64_t file_offset_s;
  bool expected;
};

TEST(FileFilterTest, DateConditionsWithInclusiveBounds) {
  const platform::TDateTime base = EncodeDateTime(2024, 3, 10, 8, 0, 0);
  const int64_t base_unix = 1710057600;  // 2024-03-10 08:00 UTC (tests run with TZ=UTC)
  const DateCase cases[] = {
      {0, 0, 0, 0, true},                            // "Older than A": exactly at A is selected
      {0, 0, 0, 1, false},                           // one second younger is not
      {0, 0, 0, -1, true},   {1, 0, 0, 0, true},     // "Newer than A"
      {1, 0, 0, -1, false},  {2, 0, 60, 60, true},   // "Between"
      {2, 0, 60, 61, false}, {2, 60, 0, 30, true},   // A later than B: read the other way round
      {2, 60, 0, -1, false}, {3, 0, 60, 30, false},  // "Beyond"
      {3, 0, 60, 60, true},  {3, 60, 0, 0, true},
      {3, 60, 0, 30, false}, {9, 0, 0, 1, false},  // an unknown mode is mode 0
  };
  test::ScopedTimeZone tz("UTC");
  for (const DateCase& c : cases) {
    SCOPED_TRACE(testing::Message() << "mode " << c.pos << " file " << c.file_offset_s);
    TFileFilter f;
    f.FLT_bUseDate = true;
    f.FLT_DatePos = c.pos;
    f.FLT_DateTimeA = base + c.a_offset_s / 86400.0;
    f.FLT_DateTimeB = base + c.b_offset_s / 86400.0;
    TFilterExtProcessor x;
    x.Load(f);
    EXPECT_EQ(x.Verdict(0, FileTimeFromUnix(base_unix + c.file_offset_s, 0), 0), c.expected);
  }
}

TEST(FileFilterTest, DamagedDatesStillGiveBounds) {
  TFileFilter f;
  f.FLT_bUseDate = true;
  f.FLT_DatePos = fdBetween;
  for (double bad : {std::nan(""), HUGE_VAL, -HUGE_VAL, 1e300}) {
    f.FLT_DateTimeA = bad;
    f.FLT_DateTimeB = 0;
    TFilterExtProcessor x;
    x.Load(f);
    EXPECT_LE(x.TimeA(), x.TimeB());
  }
}

}  // namespace
}  // namespace twn
