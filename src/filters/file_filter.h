#pragma once
// A job's file filter: include and exclude name specs and optional conditions on a file's
// last-write time, size and attributes. The field names are the settings-file keys.
#include <cstdint>
#include <string>

#include "platform/time.h"

namespace twn {

/// FLT_DatePos values: time <= A, time >= A, A <= time <= B, time <= A or time >= B.
enum TFilterDatePos : int32_t { fdOlderThanA = 0, fdNewerThanA = 1, fdBetween = 2, fdBeyond = 3 };
/// FLT_SizePos values: size >= A, size <= A, A <= size <= B, size <= A or size >= B.
enum TFilterSizePos : int32_t { fsMoreThanA = 0, fsLessThanA = 1, fsBetween = 2, fsBeyond = 3 };
/// FLT_SizeDegreeA/B values: the unit a size is given in.
enum TFilterSizeDegree : int32_t { sdBytes = 0, sdKilobytes = 1, sdMegabytes = 2 };

struct TFileFilter {
  /// Names a predefined filter; empty in a job's own filter.
  std::string FilterName;
  std::string FLT_Include = "*.*";
  std::string FLT_Exclude;
  bool FLT_bUseExclude = false;
  bool FLT_bUseDate = false;
  bool FLT_bUseSize = false;
  bool FLT_bUseAttr = false;
  /// Local date-times; both default to the moment the filter is created.
  platform::TDateTime FLT_DateTimeA = platform::Now();
  platform::TDateTime FLT_DateTimeB = FLT_DateTimeA;
  int32_t FLT_DatePos = fdOlderThanA;
  /// Sizes in their unit. 64-bit so that no stored value is cut; the settings file writes
  /// them as decimal numbers.
  int64_t FLT_SizeA = 0;
  int64_t FLT_SizeB = 0;
  int32_t FLT_SizeDegreeA = sdBytes;
  int32_t FLT_SizeDegreeB = sdBytes;
  int32_t FLT_SizePos = fsMoreThanA;
  /// Attribute bits (platform::kAttr*) a file must have / must not have.
  uint32_t FLT_Attr_IncMask = 0;
  uint32_t FLT_Attr_ExcMask = 0;

  /// Copies every field.
  void Assign(const TFileFilter& other) { *this = other; }
  bool operator==(const TFileFilter&) const = default;
};

/// A file filter's date, size and attribute conditions prepared for a run: sizes in bytes and
/// date bounds as UTC file times.
class TFilterExtProcessor {
 public:
  /// Copies the conditions and prepares them. The local date bounds become UTC with the offset
  /// in force now, so the same filter gives other bounds after a zone or daylight change.
  void Load(const TFileFilter& filter);
  /// Whether a file with this attribute word, last-write time (UTC) and size passes every
  /// enabled condition; true when none is enabled.
  bool Verdict(uint32_t attributes, platform::TFileTime last_write, int64_t size) const;
  /// Any condition is enabled.
  bool IsActive() const { return active_; }

  int64_t SizeA() const { return size_a_; }
  int64_t SizeB() const { return size_b_; }
  bool SizesSwapped() const { return sizes_swapped_; }
  platform::TFileTime TimeA() const { return time_a_; }
  platform::TFileTime TimeB() const { return time_b_; }

 private:
  bool AttributesPass(uint32_t attributes) const;
  bool SizePasses(int64_t size) const;
  bool DatePasses(platform::TFileTime last_write) const;

  int64_t size_a_ = 0;
  int64_t size_b_ = 0;
  bool sizes_swapped_ = false;
  platform::TFileTime time_a_ = 0;
  platform::TFileTime time_b_ = 0;
  bool active_ = false;
  bool use_date_ = false;
  bool use_size_ = false;
  bool use_attr_ = false;
  int32_t date_pos_ = fdOlderThanA;
  int32_t size_pos_ = fsMoreThanA;
  uint32_t attr_inc_mask_ = 0;
  uint32_t attr_exc_mask_ = 0;
};

}  // namespace twn
