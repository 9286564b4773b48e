#include "platform/time.h"

#include <cmath>
#include <ctime>
#include <mutex>

namespace twn::platform {
namespace {

// Days from 0000-03-01 style civil calendar (proleptic Gregorian), after H. Hinnant.
int64_t DaysFromCivil(int64_t y, int m, int d) {
  y -= m <= 2;
  const int64_t era = (y >= 0 ? y : y - 399) / 400;
  const int64_t yoe = y - era * 400;
  const int64_t doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
  const int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + doe - 719468;  // days since 1970-01-01
}

void CivilFromDays(int64_t z, int& y, int& m, int& d) {
  z += 719468;
  const int64_t era = (z >= 0 ? z : z - 146096) / 146097;
  const int64_t doe = z - era * 146097;
  const int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const int64_t mp = (5 * doy + 2) / 153;
  d = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
  m = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
  y = static_cast<int>(yoe + era * 400 + (m <= 2));
}

// A date-time as whole milliseconds since 1899-12-30. Negative date-times count the date part
// backwards and the time part forwards, so -1.25 is 1899-12-29 06:00.
int64_t MillisecondsOf(TDateTime dt) {
  double days = std::trunc(dt);
  double frac = std::fabs(dt - days);
  return static_cast<int64_t>(days) * 86'400'000 + std::llround(frac * kMsPerDay);
}

TDateTime FromMilliseconds(int64_t ms) {
  int64_t days = ms >= 0 ? ms / 86'400'000 : -((-ms + 86'399'999) / 86'400'000);
  int64_t rest = ms - days * 86'400'000;
  if (days >= 0) return static_cast<double>(days) + rest / kMsPerDay;
  // Negative dates: the time part is added to the magnitude.
  return static_cast<double>(days) - rest / kMsPerDay;
}

// The C library re-reads TZ inside mktime and frees its old zone text under a lock of its own
// that ThreadSanitizer cannot see; runs on several threads go through one lock of ours instead.
std::mutex& ZoneMutex() {
  static std::mutex m;
  return m;
}

tm LocalTm(time_t t) {
  const std::lock_guard lock(ZoneMutex());
  tm local{};
  localtime_r(&t, &local);
  return local;
}

time_t MakeTime(tm& t) {
  const std::lock_guard lock(ZoneMutex());
  return mktime(&t);
}

int64_t UtcOffsetAt(time_t t) {
  return LocalTm(t).tm_gmtoff;
}

}  // namespace

TFileTime FileTimeFromUnix(int64_t seconds, int64_t nanoseconds) {
  return (seconds + kFileTimeUnixEpoch) * kFileTicksPerSecond + nanoseconds / 100;
}

timespec UnixFromFileTime(TFileTime ft) {
  int64_t secs = ft / kFileTicksPerSecond;
  int64_t rest = ft % kFileTicksPerSecond;
  if (rest < 0) {
    rest += kFileTicksPerSecond;
    --secs;
  }
  timespec ts{};
  ts.tv_sec = static_cast<time_t>(secs - kFileTimeUnixEpoch);
  ts.tv_nsec = static_cast<long>(rest * 100);
  return ts;
}

TDateTime EncodeDateTime(int year, int month, int day, int hour, int minute, int second,
                         int millisecond) {
  const int64_t days = DaysFromCivil(year, month, day) + 25569;
  const double time = ((hour * 60.0 + minute) * 60.0 + second) / 86400.0 + millisecond / kMsPerDay;
  return days >= 0 ? static_cast<double>(days) + time : static_cast<double>(days) - time;
}

TCalendar DecodeDateTime(TDateTime dt) {
  const int64_t ms = MillisecondsOf(dt);
  int64_t days = static_cast<int64_t>(std::trunc(dt));
  int64_t rest = ms - days * 86'400'000;
  if (rest < 0) rest = -rest;
  if (rest >= 86'400'000) {  // rounding reached the next day
    rest -= 86'400'000;
    ++days;
  }
  TCalendar c;
  CivilFromDays(days - 25569, c.year, c.month, c.day);
  c.hour = static_cast<int>(rest / 3'600'000);
  c.minute = static_cast<int>(rest / 60'000 % 60);
  c.second = static_cast<int>(rest / 1000 % 60);
  c.millisecond = static_cast<int>(rest % 1000);
  // 1899-12-30 (day 0) was a Saturday.
  c.day_of_week = static_cast<int>(((days % 7) + 7 + 6) % 7) + 1;
  return c;
}

int DayOfWeek(TDateTime dt) {
  return DecodeDateTime(dt).day_of_week;
}

TDateTime DatePart(TDateTime dt) {
  return std::trunc(dt);
}
TDateTime TimePart(TDateTime dt) {
  return std::fabs(dt - std::trunc(dt));
}

TDateTime Now() {
  timespec ts{};
  clock_gettime(CLOCK_REALTIME, &ts);
  const int64_t local_ms =
      (static_cast<int64_t>(ts.tv_sec) + UtcOffsetAt(ts.tv_sec)) * 1000 + ts.tv_nsec / 1'000'000;
  return FromMilliseconds(local_ms + static_cast<int64_t>(kUnixEpochDays) * 86'400'000);
}

TDateTime DateTimeFromUnix(time_t t) {
  const int64_t local = static_cast<int64_t>(t) + UtcOffsetAt(t);
  return FromMilliseconds(local * 1000 + static_cast<int64_t>(kUnixEpochDays) * 86'400'000);
}

tm TmFromDateTime(TDateTime dt) {
  const TCalendar c = DecodeDateTime(dt);
  tm t{};
  t.tm_year = c.year - 1900;
  t.tm_mon = c.month - 1;
  t.tm_mday = c.day;
  t.tm_hour = c.hour;
  t.tm_min = c.minute;
  t.tm_sec = c.second;
  t.tm_wday = c.day_of_week - 1;
  t.tm_isdst = -1;
  return t;
}

time_t UnixFromDateTime(TDateTime dt) {
  tm t = TmFromDateTime(dt);
  return MakeTime(t);
}

TFileTime LocalFileTimeFromDateTime(TDateTime dt) {
  return (MillisecondsOf(dt) - MillisecondsOf(kFileTimeEpochDays)) * 10'000;
}

TDateTime DateTimeFromLocalFileTime(TFileTime ft) {
  const int64_t ms = ft / 10'000 + MillisecondsOf(kFileTimeEpochDays);
  return FromMilliseconds(ms);
}

int64_t CurrentUtcOffsetSeconds() {
  return UtcOffsetAt(time(nullptr));
}

TFileTime LocalFileTimeToUtc(TFileTime local) {
  return local - CurrentUtcOffsetSeconds() * kFileTicksPerSecond;
}

TFileTime UtcFileTimeToLocal(TFileTime utc) {
  return utc + CurrentUtcOffsetSeconds() * kFileTicksPerSecond;
}

TDateTime DateTimeFromUtcFileTime(TFileTime utc) {
  const timespec ts = UnixFromFileTime(utc);
  const int64_t offset = UtcOffsetAt(ts.tv_sec) * kFileTicksPerSecond;
  return DateTimeFromLocalFileTime(utc + offset);
}

TZoneInfo CurrentZoneInfo() {
  const time_t now = time(nullptr);
  const tm local = LocalTm(now);
  tm probe{};
  probe.tm_year = local.tm_year;
  probe.tm_mday = 15;
  probe.tm_hour = 12;
  probe.tm_isdst = -1;
  probe.tm_mon = 0;
  const int64_t january = UtcOffsetAt(MakeTime(probe));
  probe = tm{};
  probe.tm_year = local.tm_year;
  probe.tm_mon = 6;
  probe.tm_mday = 15;
  probe.tm_hour = 12;
  probe.tm_isdst = -1;
  const int64_t july = UtcOffsetAt(MakeTime(probe));
  const int64_t standard = january < july ? january : july;
  const int64_t daylight = january < july ? july : january;
  TZoneInfo z;
  z.bias = static_cast<int32_t>(-standard / 60);
  z.standard_bias = 0;
  z.daylight_bias = static_cast<int32_t>(-(daylight - standard) / 60);
  return z;
}

uint32_t TickCount() {
  timespec ts{};
  clock_gettime(CLOCK_MONOTONIC, &ts);
  const uint64_t ms = static_cast<uint64_t>(ts.tv_sec) * 1000 + ts.tv_nsec / 1'000'000;
  return static_cast<uint32_t>(ms);
}

}  // namespace twn::platform
