// Arbitrary spec texts and names through the name-spec matcher and the folder filter. Besides
// crashes and sanitizer reports it checks the matcher against a slow, literal rendering of its
// rules (working on an upper-cased copy that is cut and overwritten as the rules describe), and
// that Normalize leaves a tidy list that a second call does not change.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "filters/file_spec_processor.h"
#include "filters/folder_filter.h"
#include "platform/locale.h"

namespace {

using twn::TFileSpecProcessor;
using twn::TSubPartItem;

void Check(bool ok) {
  if (!ok) std::abort();
}

// End of the group found in s, or nothing.
std::optional<size_t> SlowFindGroup(const TFileSpecProcessor& p, const TSubPartItem& head,
                                    std::string s) {
  const auto group = p.Group(head);
  const std::string_view first = p.Text(group[0]);
  for (;;) {
    const size_t at = s.find(first);
    if (at == std::string::npos) return std::nullopt;
    size_t pos = at + first.size();
    bool ok = true;
    for (size_t k = 1; ok && k < group.size(); ++k) {
      if (pos >= s.size()) {
        ok = false;
      } else if (group[k].one_char) {
        ++pos;
      } else {
        ok = s.compare(pos, group[k].text_len, p.Text(group[k])) == 0;
        pos += group[k].text_len;
      }
    }
    if (ok) return pos;
    s[at] = '?';
  }
}

bool SlowTail(const TFileSpecProcessor& p, std::span<const TSubPartItem> parts, std::string s,
              size_t pending) {
  for (size_t j = parts.size(); j-- > 0;) {
    const TSubPartItem& part = parts[j];
    if (!part.tail) return s.size() >= pending;
    if (s.empty() || s.size() < pending) return false;
    if (part.one_char) {
      s.pop_back();
    } else {
      const size_t at = s.rfind(p.Text(part));
      if (at == std::string::npos || at + part.text_len != s.size()) return false;
      s.erase(at);
    }
    if (j == 0 && part.anchored) return s.empty();
  }
  return true;
}

bool SlowSpec(const TFileSpecProcessor& p, std::span<const TSubPartItem> parts, std::string s) {
  size_t pending = 0, pending_anchored = 0;
  for (const TSubPartItem& part : parts) {
    if (s.empty() || s.size() < pending) return false;
    if (part.tail) return SlowTail(p, parts, s, pending);
    if (part.group_first >= 0) {
      const auto end = SlowFindGroup(p, part, s);
      if (!end) return false;
      s.erase(0, *end);
      pending = pending_anchored = 0;
    } else if (part.one_char) {
      ++pending;
      pending_anchored = part.anchored ? pending_anchored + 1 : 0;
      if (s.size() < pending) return false;
      s[pending - 1] = '?';
    } else {
      const size_t found = s.find(p.Text(part));
      if (found == std::string::npos) return false;
      const size_t pos = found + 1;  // 1-based, as the rules count
      if (part.anchored && !(pending == pending_anchored ? pos == pending + 1 : pos >= pending + 1))
        return false;
      s.erase(0, found + part.text_len);
      pending = pending_anchored = 0;
    }
  }
  return true;
}

bool SlowMatches(const TFileSpecProcessor& p, std::string_view name, bool match_all_result) {
  if (p.IsMatchAll()) return match_all_result;
  const std::string upper = twn::platform::UpperCase(name);
  for (size_t i = 0; i < p.SpecCount(); ++i)
    if (SlowSpec(p, p.Parts(i), upper)) return true;
  return false;
}

void CheckFolderFilter(std::string_view text, std::string_view name) {
  twn::TFolderFilter filter;
  size_t pos = 0;
  while (pos <= text.size()) {
    size_t end = text.find('\n', pos);
    if (end == std::string_view::npos) end = text.size();
    filter.AddPattern(text.substr(pos, end - pos));
    pos = end + 1;
  }
  filter.Normalize();
  for (const std::string& p : filter.Patterns()) Check(!twn::platform::TrimBlanks(p).empty());
  twn::TFolderFilter again;
  again.Assign(filter);
  again.Normalize();
  Check(again == filter);
  Check(filter.IndexOfPattern(filter.GetPattern(0)) == (filter.Count() > 0 ? 0 : -1));
  TFileSpecProcessor patterns;
  filter.LoadInto(patterns);
  Check(patterns.Matches(name, false) == SlowMatches(patterns, name, false));
}

}  // namespace

// Input: one byte of flags, two bytes of pattern-list length, the pattern list, then the name. With
// flag 2 the bytes are read as letters of a small alphabet, so that specs full of wildcards, groups
// and near misses are common rather than rare.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 3) return 0;
  const bool match_all_result = data[0] & 1;
  const size_t spec_len = (data[1] | size_t(data[2]) << 8) % (size - 2);
  std::string input(reinterpret_cast<const char*>(data + 3), size - 3);
  if (data[0] & 2) {
    static constexpr std::string_view kSpecChars = "ab*?;. ", kNameChars = "aAbB.?";
    for (size_t i = 0; i < input.size(); ++i) {
      const std::string_view alphabet = i < spec_len ? kSpecChars : kNameChars;
      input[i] = alphabet[static_cast<uint8_t>(input[i]) % alphabet.size()];
    }
  }
  const std::string_view spec = std::string_view(input).substr(0, spec_len);
  const std::string_view name = std::string_view(input).substr(spec.size());

  TFileSpecProcessor p;
  p.SetSpecs(spec);
  const bool answer = p.Matches(name, match_all_result);
  Check(answer == p.MatchesUpper(twn::platform::UpperCase(name), match_all_result));
  Check(answer == SlowMatches(p, name, match_all_result));
  CheckFolderFilter(spec, name);
  return 0;
}
