#include "windows/path_shortening.h"

#include <vector>

namespace twn {
namespace {

bool IsContinuationByte(char c) {
  return (static_cast<unsigned char>(c) & 0xC0) == 0x80;
}

// The folder names after the root, the last one keeping a trailing separator.
std::vector<std::string_view> Folders(std::string_view body) {
  std::vector<std::string_view> folders;
  while (!body.empty()) {
    const size_t slash = body.find('/');
    if (slash == std::string_view::npos || slash + 1 == body.size()) {
      folders.push_back(body);
      break;
    }
    folders.push_back(body.substr(0, slash));
    body.remove_prefix(slash + 1);
  }
  return folders;
}

// The longest start of `last`, ended at a character boundary, that fits behind `prefix` with
// the ellipsis; halving the list of boundaries keeps a long name to a few measurements.
std::string ElideLast(const std::string& prefix, std::string_view last, int width,
                      const TTextWidth& measure) {
  std::vector<size_t> ends;  // byte lengths that end a character, shortest first
  for (size_t i = 1; i < last.size(); ++i)
    if (!IsContinuationByte(last[i])) ends.push_back(i);
  const auto candidate = [&](size_t n) {
    return prefix + std::string(last.substr(0, n)) + std::string(kPathEllipsis);
  };
  size_t lo = 0, hi = ends.size();  // ends[0, lo) fit; ends[hi, size) do not
  while (lo < hi) {
    const size_t mid = lo + (hi - lo) / 2;
    if (measure(candidate(ends[mid])) <= width)
      lo = mid + 1;
    else
      hi = mid;
  }
  if (lo > 0) return candidate(ends[lo - 1]);
  const std::string bare = candidate(0);
  return measure(bare) <= width ? bare : std::string(kPathEllipsis);
}

}  // namespace

std::string ShortenPath(std::string_view path, int width, const TTextWidth& measure) {
  if (measure(path) <= width) return std::string(path);
  const std::string root = path.starts_with('/') ? "/" : "";
  const std::vector<std::string_view> folders = Folders(path.substr(root.size()));
  if (folders.empty()) return std::string(path);

  const std::string gap = root + std::string(kPathGap) + "/";
  for (size_t first = 1; first < folders.size(); ++first) {
    std::string text = gap;
    for (size_t i = first; i < folders.size(); ++i)
      text.append(folders[i]).append(i + 1 < folders.size() ? "/" : "");
    if (measure(text) <= width) return text;
  }
  return ElideLast(folders.size() > 1 ? gap : root, folders.back(), width, measure);
}

}  // namespace twn
