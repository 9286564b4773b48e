#pragma once
// What the user's locale decides: upper-casing of names, the decimal separator, month names and
// the date and time formats. The C library's locale is used (set by the program's main).
#include <string>
#include <string_view>

#include "platform/time.h"

namespace twn::platform {

/// Single-byte upper-casing: ASCII a-z only, every other byte unchanged, so an upper-cased
/// copy keeps every offset of the original.
inline constexpr char UpCase(char c) {
  return (c >= 'a' && c <= 'z') ? char(c - 32) : c;
}
std::string UpperCase(std::string_view s);
void UpperCaseInPlace(std::string& s);
/// Compares without regard to ASCII letter case.
bool SameText(std::string_view a, std::string_view b);
/// The text without the characters 0-32 at either end (blanks and control characters).
inline constexpr std::string_view TrimBlanks(std::string_view s) {
  while (!s.empty() && static_cast<unsigned char>(s.front()) <= ' ') s.remove_prefix(1);
  while (!s.empty() && static_cast<unsigned char>(s.back()) <= ' ') s.remove_suffix(1);
  return s;
}

/// The locale's decimal separator (LC_NUMERIC radix character).
char DecimalSeparator();
/// The locale's full month name, month 1..12; empty for another number.
std::string LongMonthName(int month);
/// Short date format of the locale (D_FMT), e.g. "12/06/26" in the C locale.
std::string FormatShortDate(TDateTime dt);
/// Long time format of the locale (T_FMT), e.g. "21:07:53" in the C locale.
std::string FormatLongTime(TDateTime dt);
/// Short date, a blank and long time; the time is left out when it is exactly midnight.
std::string FormatDateTime(TDateTime dt);

}  // namespace twn::platform
