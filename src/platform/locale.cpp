#include "platform/locale.h"

#include <langinfo.h>

#include <ctime>

namespace twn::platform {
namespace {

std::string Format(TDateTime dt, nl_item item) {
  const tm t = TmFromDateTime(dt);
  char buf[256];
  const size_t n = strftime(buf, sizeof buf, nl_langinfo(item), &t);
  return std::string(buf, n);
}

}  // namespace

std::string UpperCase(std::string_view s) {
  std::string out(s);
  UpperCaseInPlace(out);
  return out;
}

void UpperCaseInPlace(std::string& s) {
  for (char& c : s) c = UpCase(c);
}

bool SameText(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i)
    if (UpCase(a[i]) != UpCase(b[i])) return false;
  return true;
}

char DecimalSeparator() {
  const char* radix = nl_langinfo(RADIXCHAR);
  return (radix && radix[0] && !radix[1]) ? radix[0] : '.';
}

std::string LongMonthName(int month) {
  if (month < 1 || month > 12) return {};
  return nl_langinfo(static_cast<nl_item>(MON_1 + month - 1));
}

std::string FormatShortDate(TDateTime dt) {
  return Format(dt, D_FMT);
}
std::string FormatLongTime(TDateTime dt) {
  return Format(dt, T_FMT);
}

std::string FormatDateTime(TDateTime dt) {
  const TCalendar c = DecodeDateTime(dt);
  std::string text = FormatShortDate(dt);
  if (c.hour || c.minute || c.second || c.millisecond) text += ' ' + FormatLongTime(dt);
  return text;
}

}  // namespace twn::platform
