#pragma once
// A job's folder filter: patterns of folder names (wildcard specs, see TFileSpecProcessor) that
// the scan leaves out together with everything below them. A pattern is tested against one
// folder name without its path; the roots of the pairs are never tested.
#include <string>
#include <string_view>
#include <vector>

namespace twn {

class TFileSpecProcessor;

/// One pattern record: just its text.
using TStrItem = std::string;

class TFolderFilter {
 public:
  /// Names a predefined folder filter; empty in a job's own filter.
  std::string FilterName;

  /// Copies the name and every pattern.
  void Assign(const TFolderFilter& other) { *this = other; }
  void AddPattern(std::string_view text) { patterns_.emplace_back(text); }
  /// Ignores an index outside the list.
  void DeletePattern(int index);
  /// Empty text for an index outside the list.
  std::string GetPattern(int index) const;
  void ClearPatterns() { patterns_.clear(); }
  int Count() const { return static_cast<int>(patterns_.size()); }
  const std::vector<TStrItem>& Patterns() const { return patterns_; }
  /// Index of the first pattern equal to the text regardless of letter case; -1 if none.
  int IndexOfPattern(std::string_view text) const;

  /// Tidies the list after editing or loading: drops patterns that are blank once trimmed,
  /// sorts by the upper-cased text, and of neighbours equal once trimmed (letter case counts)
  /// keeps the last. The stored texts themselves are left as they are.
  void Normalize();

  /// Sets up a matcher for a run: all patterns as one spec list. Ask it with match-all
  /// result false; a match excludes the folder.
  void LoadInto(TFileSpecProcessor& processor) const;

  bool operator==(const TFolderFilter&) const = default;

 private:
  std::vector<TStrItem> patterns_;
};

}  // namespace twn
