#pragma once
// Wildcard name specs such as "*.bmp; *.gif; *.jpg": a list of specs separated by ";", each made
// of literal text, "*" (any run of characters) and "?" (one character). Matching ignores ASCII
// letter case. The matcher is our own and its exact results, odd corners included, are what a
// job's filters mean to the user, so the parsing and matching rules below must not be "fixed".
//
// Storage is flat: every spec, part and group part is a fixed-size record in one table of the
// processor, referring to the others by index, and every text is a slice of one text pool.
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace twn {

/// One parsed part of a spec: a literal piece or the one-character wildcard "?".
struct TSubPartItem {
  uint32_t text_start = 0;  // slice of the processor's text pool
  uint32_t text_len = 0;
  /// Must begin exactly where the previous part ended (no "*" before it); the first part of a
  /// spec that does not begin with "*" is anchored to the start of the name.
  bool anchored = false;
  /// Belongs to the run of parts that must end exactly at the end of the name.
  bool tail = false;
  /// The one-character wildcard "?" (its text is "?").
  bool one_char = false;
  /// A part with a group is searched for as one unit: group_count records from group_first in
  /// the processor's group table, the first being a copy of this part. -1 = no group.
  int32_t group_first = -1;
  uint32_t group_count = 0;
};

/// One spec of the list: its trimmed, upper-cased text and its parts.
struct TPartFilterItem {
  uint32_t text_start = 0;
  uint32_t text_len = 0;
  uint32_t part_first = 0;  // index into the processor's part table
  uint32_t part_count = 0;
};

class TFileSpecProcessor {
 public:
  static constexpr char kSeparator = ';';
  static constexpr char kManyChars = '*';
  static constexpr char kOneChar = '?';

  /// Replaces the list: splits the text at every ";", trims each piece of characters 0-32,
  /// skips empty pieces and parses the rest.
  void SetSpecs(std::string_view text);
  /// Joins the texts with ";" and sets them (folder exclusion patterns).
  void SetSpecList(std::span<const std::string> texts);
  void ClearSpecs();

  /// Whether the name matches any spec. An empty list, or a list holding a match-all spec
  /// ("*", "*.*", ...), answers `match_all_result` without looking further: include lists pass
  /// true, exclude lists and folder patterns pass false.
  ///
  /// Allocates nothing and changes nothing, so one processor may be asked from several
  /// threads at once. Names of any length and content (NUL, bytes above 127) are fine.
  bool Matches(std::string_view name, bool match_all_result) const;
  /// The same for a name already upper-cased with platform::UpCase (the scanner's upper-cased
  /// name pool); skips the case folding. A name that is not upper-cased may fail to match.
  bool MatchesUpper(std::string_view upper_name, bool match_all_result) const;

  /// The list answers every name with the caller's match-all result.
  bool IsMatchAll() const { return specs_.empty() || match_all_; }
  size_t SpecCount() const { return specs_.size(); }
  /// The trimmed, upper-cased text of spec `index`; empty for an index outside the list.
  std::string_view SpecText(size_t index) const;
  /// The parts of spec `index` (empty outside the list), and the text of one part.
  std::span<const TSubPartItem> Parts(size_t index) const;
  std::span<const TSubPartItem> Group(const TSubPartItem& part) const;
  std::string_view Text(const TSubPartItem& part) const;

 private:
  void AddSpec(std::string_view spec);
  uint32_t AddText(std::string_view text);
  template <bool kFold>
  bool MatchesAny(std::string_view name) const;
  std::string pool_;
  std::vector<TPartFilterItem> specs_;
  std::vector<TSubPartItem> parts_;
  std::vector<TSubPartItem> group_parts_;
  bool match_all_ = false;
};

}  // namespace twn
