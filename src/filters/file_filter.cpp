#include "filters/file_filter.h"

#include <cmath>
#include <limits>
#include <utility>

namespace twn {
namespace {

// Date-times outside years 1..9999 (or not numbers at all) can only come from a damaged
// settings file; they are held to that range so the conversion stays defined.
constexpr platform::TDateTime kFirstDate = -693593.0;  // 0001-01-01
constexpr platform::TDateTime kLastDate = 2958465.0;   // 9999-12-31

platform::TFileTime UtcBound(platform::TDateTime local) {
  if (!std::isfinite(local)) local = 0;
  if (local < kFirstDate) local = kFirstDate;
  if (local > kLastDate) local = kLastDate;
  return platform::LocalFileTimeToUtc(platform::LocalFileTimeFromDateTime(local));
}

/// A size in its unit as bytes; an unknown unit counts as bytes, and a product beyond the
/// 64-bit range is held at its limit.
int64_t SizeInBytes(int64_t value, int32_t degree) {
  const int64_t unit = degree == sdKilobytes ? 1024 : degree == sdMegabytes ? 1024 * 1024 : 1;
  int64_t bytes = 0;
  if (__builtin_mul_overflow(value, unit, &bytes))
    return value < 0 ? std::numeric_limits<int64_t>::min() : std::numeric_limits<int64_t>::max();
  return bytes;
}

/// A mode value outside 0-3 behaves as 0.
int32_t ModeOf(int32_t mode) {
  return mode >= 0 && mode <= 3 ? mode : 0;
}

/// The condition of a mode (0-3) on a value. Modes 2 (between) and 3 (beyond) read the same
/// for dates and sizes; modes 0 and 1 are mirrored: size mode 0 is "more than A", date mode 0
/// "older than A".
bool ModeHolds(int32_t mode, int64_t v, int64_t a, int64_t b, bool mode0_is_at_least) {
  switch (mode) {
    case 0:
      return mode0_is_at_least ? v >= a : v <= a;
    case 1:
      return mode0_is_at_least ? v <= a : v >= a;
    case 2:
      return a <= v && v <= b;
    default:
      return v <= a || v >= b;
  }
}

}  // namespace

void TFilterExtProcessor::Load(const TFileFilter& filter) {
  use_date_ = filter.FLT_bUseDate;
  use_size_ = filter.FLT_bUseSize;
  use_attr_ = filter.FLT_bUseAttr;
  date_pos_ = ModeOf(filter.FLT_DatePos);
  size_pos_ = ModeOf(filter.FLT_SizePos);
  attr_inc_mask_ = filter.FLT_Attr_IncMask;
  attr_exc_mask_ = filter.FLT_Attr_ExcMask;

  time_a_ = UtcBound(filter.FLT_DateTimeA);
  time_b_ = UtcBound(filter.FLT_DateTimeB);
  if ((date_pos_ == fdBetween || date_pos_ == fdBeyond) && time_a_ > time_b_)
    std::swap(time_a_, time_b_);

  size_a_ = SizeInBytes(filter.FLT_SizeA, filter.FLT_SizeDegreeA);
  size_b_ = SizeInBytes(filter.FLT_SizeB, filter.FLT_SizeDegreeB);
  sizes_swapped_ = (size_pos_ == fsBetween || size_pos_ == fsBeyond) && size_a_ > size_b_;
  if (sizes_swapped_) std::swap(size_a_, size_b_);

  active_ = use_date_ || use_size_ || use_attr_;
}

bool TFilterExtProcessor::AttributesPass(uint32_t attributes) const {
  return (attributes & attr_inc_mask_) == attr_inc_mask_ && (attributes & attr_exc_mask_) == 0;
}

bool TFilterExtProcessor::SizePasses(int64_t size) const {
  return ModeHolds(size_pos_, size, size_a_, size_b_, true);
}

bool TFilterExtProcessor::DatePasses(platform::TFileTime last_write) const {
  return ModeHolds(date_pos_, last_write, time_a_, time_b_, false);
}

bool TFilterExtProcessor::Verdict(uint32_t attributes, platform::TFileTime last_write,
                                  int64_t size) const {
  if (use_attr_ && !AttributesPass(attributes)) return false;
  if (use_size_ && !SizePasses(size)) return false;
  if (use_date_ && !DatePasses(last_write)) return false;
  return true;
}

}  // namespace twn
