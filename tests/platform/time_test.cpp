#include "platform/time.h"

#include <gtest/gtest.h>

#include <array>

#include "support/test_support.h"

namespace twn::platform {
namespace {

using test::ScopedTimeZone;

TEST(TimeTest, CalendarRoundTrip) {
  struct Case {
    int y, mo, d, h, mi, s, ms;
    double expected;  // known TDateTime values
    int dow;
  };
  const Case cases[] = {
      {1899, 12, 30, 0, 0, 0, 0, 0.0, 7},         {1900, 1, 1, 0, 0, 0, 0, 2.0, 2},
      {2004, 3, 6, 4, 44, 0, 0, 38052.197222, 7}, {2000, 2, 29, 12, 0, 0, 0, 36585.5, 3},
      {1899, 12, 29, 6, 0, 0, 0, -1.25, 6},       {2026, 12, 6, 23, 59, 59, 999, 46362.999999, 1},
      {1601, 1, 1, 0, 0, 0, 0, -109205.0, 2},
  };
  for (const Case& c : cases) {
    const TDateTime dt = EncodeDateTime(c.y, c.mo, c.d, c.h, c.mi, c.s, c.ms);
    EXPECT_NEAR(c.expected, dt, 1e-6) << c.y << "-" << c.mo << "-" << c.d;
    const TCalendar k = DecodeDateTime(dt);
    EXPECT_EQ((std::array{c.y, c.mo, c.d, c.h, c.mi, c.s, c.ms, c.dow}),
              (std::array{k.year, k.month, k.day, k.hour, k.minute, k.second, k.millisecond,
                          k.day_of_week}));
  }
}

TEST(TimeTest, FileTimeUnixRoundTrip) {
  const TFileTime ft = FileTimeFromUnix(1'000'000'000, 123'456'700);
  EXPECT_EQ((1'000'000'000LL + 11644473600LL) * 10'000'000LL + 1'234'567, ft);
  const timespec ts = UnixFromFileTime(ft);
  EXPECT_EQ(1'000'000'000, ts.tv_sec);
  EXPECT_EQ(123'456'700, ts.tv_nsec);
  // Before 1970 the remainder stays positive.
  const timespec before = UnixFromFileTime(FileTimeFromUnix(-1, 500'000'000));
  EXPECT_EQ(-1, before.tv_sec);
  EXPECT_EQ(500'000'000, before.tv_nsec);
}

TEST(TimeTest, LocalFileTimeIsPureArithmetic) {
  EXPECT_EQ(0, LocalFileTimeFromDateTime(EncodeDateTime(1601, 1, 1)));
  const TDateTime dt = EncodeDateTime(2020, 6, 1, 13, 30, 15, 250);
  EXPECT_NEAR(dt, DateTimeFromLocalFileTime(LocalFileTimeFromDateTime(dt)), 1e-9);
  EXPECT_EQ(FileTimeFromUnix(0, 0), LocalFileTimeFromDateTime(kUnixEpochDays));
}

TEST(TimeTest, ZoneInfoPerZone) {
  struct Case {
    const char* tz;
    int bias, daylight;
  };
  const Case cases[] = {
      {"UTC", 0, 0},
      {"Europe/Berlin", -60, -60},
      {"America/New_York", 300, -60},
      {"Asia/Kolkata", -330, 0},
      {"Australia/Sydney", -600, -60},  // daylight in January
  };
  for (const Case& c : cases) {
    ScopedTimeZone zone(c.tz);
    const TZoneInfo z = CurrentZoneInfo();
    EXPECT_EQ(c.bias, z.bias) << c.tz;
    EXPECT_EQ(0, z.standard_bias) << c.tz;
    EXPECT_EQ(c.daylight, z.daylight_bias) << c.tz;
  }
}

TEST(TimeTest, ShownTimesUseTheOffsetOfTheirOwnDate) {
  ScopedTimeZone zone("Europe/Berlin");
  // 2021-01-15 12:00 UTC is 13:00 in Berlin, 2021-07-15 12:00 UTC is 14:00.
  const TFileTime winter = FileTimeFromUnix(1610712000, 0);
  const TFileTime summer = FileTimeFromUnix(1626350400, 0);
  EXPECT_EQ(13, DecodeDateTime(DateTimeFromUtcFileTime(winter)).hour);
  EXPECT_EQ(14, DecodeDateTime(DateTimeFromUtcFileTime(summer)).hour);
  EXPECT_EQ(14, DecodeDateTime(DateTimeFromUnix(1626350400)).hour);
  EXPECT_EQ(1626350400, UnixFromDateTime(EncodeDateTime(2021, 7, 15, 14, 0, 0)));
}

TEST(TimeTest, LocalToUtcUsesTheOffsetInForceNow) {
  ScopedTimeZone zone("Asia/Kolkata");  // +05:30 all year
  const TFileTime local = LocalFileTimeFromDateTime(EncodeDateTime(2010, 1, 1, 5, 30));
  EXPECT_EQ(LocalFileTimeFromDateTime(EncodeDateTime(2010, 1, 1)), LocalFileTimeToUtc(local));
  EXPECT_EQ(local, UtcFileTimeToLocal(LocalFileTimeToUtc(local)));
}

TEST(TimeTest, NowAndTickMove) {
  const TDateTime before = Now();
  const uint32_t t0 = TickCount();
  EXPECT_GT(before, EncodeDateTime(2020, 1, 1));
  EXPECT_GE(Now(), before);
  EXPECT_GE(TickCount(), t0);
}

}  // namespace
}  // namespace twn::platform
