#pragma once
// Date-time and file-time values and the conversions between them.
//
// TDateTime: days since 1899-12-30 00:00 local time as a double; the fraction is the time of day.
// TFileTime: 100-ns units since 1601-01-01 00:00 UTC (or local, where a name says so), as the
// scanner lists last-write times.
#include <cstdint>
#include <ctime>

namespace twn::platform {

using TDateTime = double;
using TFileTime = int64_t;

inline constexpr int64_t kFileTimeUnixEpoch = 11644473600;  // seconds from 1601 to 1970
inline constexpr int64_t kFileTicksPerSecond = 10'000'000;
inline constexpr int64_t kFileTicksPerDay = 86400 * kFileTicksPerSecond;
inline constexpr double kMsPerDay = 86'400'000.0;
/// TDateTime of 1970-01-01 00:00.
inline constexpr double kUnixEpochDays = 25569.0;
/// TDateTime of 1601-01-01 00:00.
inline constexpr double kFileTimeEpochDays = -109205.0;

/// Broken-down calendar fields of a TDateTime, month and day from 1, weekday 1 = Sunday.
struct TCalendar {
  int year = 1899, month = 12, day = 30;
  int hour = 0, minute = 0, second = 0, millisecond = 0;
  int day_of_week = 7;
};

/// The zone's biases in minutes with the Windows sign (UTC = local + bias): `bias` is the
/// standard-time bias, `standard_bias` is 0 and `daylight_bias` is minus the daylight shift
/// (-60 for most zones, 0 for zones without daylight saving).
struct TZoneInfo {
  int32_t bias = 0;
  int32_t standard_bias = 0;
  int32_t daylight_bias = 0;
};

TFileTime FileTimeFromUnix(int64_t seconds, int64_t nanoseconds);
timespec UnixFromFileTime(TFileTime ft);

/// Pure calendar arithmetic; no time zone is involved. Out-of-range fields are not checked.
TDateTime EncodeDateTime(int year, int month, int day, int hour = 0, int minute = 0, int second = 0,
                         int millisecond = 0);
TCalendar DecodeDateTime(TDateTime dt);
/// 1 = Sunday ... 7 = Saturday.
int DayOfWeek(TDateTime dt);
/// Whole days (the date part) and the time-of-day part of a date-time.
TDateTime DatePart(TDateTime dt);
TDateTime TimePart(TDateTime dt);

/// The calendar fields of a date-time as a C `tm` (tm_isdst = -1: let the zone decide).
tm TmFromDateTime(TDateTime dt);

/// The current local date-time.
TDateTime Now();
/// A Unix time shown as local date-time with the offset in force at that moment.
TDateTime DateTimeFromUnix(time_t t);
/// A local date-time as Unix time (mktime; a time inside a daylight gap moves forward).
time_t UnixFromDateTime(TDateTime dt);

/// Local date-time <-> local file time: pure arithmetic.
TFileTime LocalFileTimeFromDateTime(TDateTime dt);
TDateTime DateTimeFromLocalFileTime(TFileTime ft);
/// Local file time <-> UTC file time with the UTC offset in force now (not at that date).
TFileTime LocalFileTimeToUtc(TFileTime local);
TFileTime UtcFileTimeToLocal(TFileTime utc);
/// A UTC file time for showing to a person: the offset of its own date applies.
TDateTime DateTimeFromUtcFileTime(TFileTime utc);

/// The standard and daylight bias of the process's zone (TZ), from its UTC offsets in January
/// and July of the current year.
TZoneInfo CurrentZoneInfo();
/// Seconds east of UTC in force now.
int64_t CurrentUtcOffsetSeconds();

/// Milliseconds of a monotonic clock, truncated to 32 bits (wraps after 49.7 days).
uint32_t TickCount();

}  // namespace twn::platform
