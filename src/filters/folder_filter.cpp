#include "filters/folder_filter.h"

#include <algorithm>

#include "filters/file_spec_processor.h"
#include "platform/locale.h"

namespace twn {
namespace {

/// Ordinal order of the upper-cased texts, bytes compared unsigned.
bool UpperLess(std::string_view a, std::string_view b) {
  return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
    return static_cast<unsigned char>(platform::UpCase(x)) <
           static_cast<unsigned char>(platform::UpCase(y));
  });
}

}  // namespace

void TFolderFilter::DeletePattern(int index) {
  if (index >= 0 && index < Count()) patterns_.erase(patterns_.begin() + index);
}

std::string TFolderFilter::GetPattern(int index) const {
  return index >= 0 && index < Count() ? patterns_[static_cast<size_t>(index)] : std::string();
}

int TFolderFilter::IndexOfPattern(std::string_view text) const {
  for (size_t i = 0; i < patterns_.size(); ++i)
    if (platform::SameText(patterns_[i], text)) return static_cast<int>(i);
  return -1;
}

void TFolderFilter::Normalize() {
  std::erase_if(patterns_, [](const TStrItem& p) { return platform::TrimBlanks(p).empty(); });
  // Patterns equal but for letter case sort together; the exact text breaks the tie so that
  // identical patterns end up next to each other and are all caught below.
  std::sort(patterns_.begin(), patterns_.end(), [](const TStrItem& a, const TStrItem& b) {
    if (UpperLess(a, b)) return true;
    return !UpperLess(b, a) && a < b;
  });
  std::vector<TStrItem> kept;
  kept.reserve(patterns_.size());
  for (size_t i = 0; i < patterns_.size(); ++i) {
    const bool same_as_next =
        i + 1 < patterns_.size() &&
        platform::TrimBlanks(patterns_[i]) == platform::TrimBlanks(patterns_[i + 1]);
    if (!same_as_next) kept.push_back(std::move(patterns_[i]));
  }
  patterns_ = std::move(kept);
}

void TFolderFilter::LoadInto(TFileSpecProcessor& processor) const {
  processor.SetSpecList(patterns_);
}

}  // namespace twn
