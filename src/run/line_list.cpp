#include "run/line_list.h"

namespace twn {

void TLineList::Add(std::string_view line) {
  std::lock_guard lock(mutex_);
  lines_.emplace_back(line);
}

void TLineList::Clear() {
  std::lock_guard lock(mutex_);
  lines_.clear();
}

size_t TLineList::Count() const {
  std::lock_guard lock(mutex_);
  return lines_.size();
}

std::vector<std::string> TLineList::Lines() const {
  std::lock_guard lock(mutex_);
  return lines_;
}

}  // namespace twn
