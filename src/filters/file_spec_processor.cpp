#include "filters/file_spec_processor.h"

#include <algorithm>
#include <limits>
#include <stdexcept>

#include "platform/locale.h"

namespace twn {
namespace {

// The matcher works on the name as it is given and folds each byte as it compares, so no
// upper-cased copy is made. The matching rules mark the characters taken by pending "?" parts
// by overwriting them with "?" in a copy of the name; those characters are always a prefix of
// what is left of the name, so here they are a count (`pending`) that searches skip instead.

template <bool kFold>
inline char Fold(char c) {
  return kFold ? platform::UpCase(c) : c;
}

template <bool kFold>
bool EqualAt(std::string_view s, size_t pos, std::string_view lit) {
  if (pos > s.size() || s.size() - pos < lit.size()) return false;
  for (size_t i = 0; i < lit.size(); ++i)
    if (Fold<kFold>(s[pos + i]) != lit[i]) return false;
  return true;
}

// First position >= from where lit occurs in s; npos if none.
template <bool kFold>
size_t Find(std::string_view s, std::string_view lit, size_t from) {
  if constexpr (!kFold) {
    return s.find(lit, from);
  } else {
    if (from > s.size() || s.size() - from < lit.size()) return std::string_view::npos;
    const size_t last = s.size() - lit.size();
    for (size_t pos = from; pos <= last; ++pos)
      if (platform::UpCase(s[pos]) == lit[0] && EqualAt<true>(s, pos, lit)) return pos;
    return std::string_view::npos;
  }
}

// The group of `head` searched in s from `from` on: its first literal anywhere, every further
// part right behind the previous one. On a failed attempt the next occurrence of the first
// literal is tried. Returns the end of the consumed characters, npos when not found.
template <bool kFold>
size_t FindGroup(const TFileSpecProcessor& t, const TSubPartItem& head, std::string_view s,
                 size_t from) {
  const auto group = t.Group(head);
  const std::string_view first = t.Text(group[0]);
  for (;;) {
    const size_t found = Find<kFold>(s, first, from);
    if (found == std::string_view::npos) return found;
    size_t pos = found + first.size();
    bool ok = true;
    for (size_t k = 1; ok && k < group.size(); ++k) {
      const TSubPartItem& part = group[k];
      if (pos >= s.size()) {
        ok = false;
      } else if (part.one_char) {
        ++pos;
      } else {
        ok = EqualAt<kFold>(s, pos, t.Text(part));
        pos += part.text_len;
      }
    }
    if (ok) return pos;
    from = found + 1;
  }
}

// The tail parts matched from the end of s backwards. The first `pending` characters of s are
// taken by "?" parts and match no literal.
template <bool kFold>
bool TailMatches(const TFileSpecProcessor& t, std::span<const TSubPartItem> parts,
                 std::string_view s, size_t pending) {
  for (size_t j = parts.size(); j-- > 0;) {
    const TSubPartItem& part = parts[j];
    if (!part.tail) return s.size() >= pending;
    if (s.empty() || s.size() < pending) return false;
    if (part.one_char) {
      s.remove_suffix(1);
    } else {
      if (s.size() - pending < part.text_len) return false;
      const size_t at = s.size() - part.text_len;
      if (!EqualAt<kFold>(s, at, t.Text(part))) return false;
      s.remove_suffix(part.text_len);
    }
    if (j == 0 && part.anchored) return s.empty();
  }
  return true;
}

template <bool kFold>
bool SpecMatches(const TFileSpecProcessor& t, std::span<const TSubPartItem> parts,
                 std::string_view s) {
  size_t pending = 0;           // "?" parts since the last literal, taking a prefix of s
  size_t pending_anchored = 0;  // how many of them are rigidly chained
  for (size_t i = 0; i < parts.size(); ++i) {
    const TSubPartItem& part = parts[i];
    if (s.empty() || s.size() < pending) return false;
    if (part.tail) return TailMatches<kFold>(t, parts, s, pending);
    if (part.group_first >= 0) {
      const size_t end = FindGroup<kFold>(t, part, s, pending);
      if (end == std::string_view::npos) return false;
      s.remove_prefix(end);
      pending = pending_anchored = 0;
    } else if (part.one_char) {
      ++pending;
      pending_anchored = part.anchored ? pending_anchored + 1 : 0;
      if (s.size() < pending) return false;
    } else {
      const size_t p = Find<kFold>(s, t.Text(part), pending);
      if (p == std::string_view::npos) return false;
      if (part.anchored && pending == pending_anchored && p != pending) return false;
      s.remove_prefix(p + part.text_len);
      pending = pending_anchored = 0;
    }
  }
  return true;
}

// ---- parsing ----

struct TParsedPart {
  TSubPartItem item;
  std::vector<TSubPartItem> group;
  bool in_group = false;  // taken into the group of a part before it
};

bool IsLiteral(const TSubPartItem& p) {
  return !p.one_char;
}

// Splits one trimmed, upper-cased spec (starting at `base` in the pool) into literal pieces and
// "?" parts, and marks the parts that must end at the end of the name.
std::vector<TParsedPart> SplitSpec(std::string_view spec, uint32_t base) {
  std::vector<TParsedPart> parts;
  auto append = [&](size_t start, size_t len, bool anchored, bool one_char) {
    TSubPartItem item;
    item.text_start = base + static_cast<uint32_t>(start);
    item.text_len = static_cast<uint32_t>(len);
    item.anchored = anchored;
    item.one_char = one_char;
    parts.push_back({item, {}});
  };
  bool after_star = false;
  size_t pos = 0;
  while (pos < spec.size()) {
    const size_t wild = spec.find_first_of("*?", pos);
    if (wild == std::string_view::npos) {
      append(pos, spec.size() - pos, !after_star, false);
      after_star = false;
      break;
    }
    const bool has_text = wild > pos;
    if (has_text) append(pos, wild - pos, !after_star, false);
    if (spec[wild] == '?') {
      append(wild, 1, has_text || !after_star, true);
      after_star = false;
    } else {
      after_star = true;
    }
    pos = wild + 1;
  }
  if (parts.empty()) return parts;
  parts.back().item.tail = !after_star;
  if (!after_star) {
    for (size_t k = parts.size() - 1; k >= 1; --k) {
      parts[k - 1].item.tail = parts[k].item.anchored;
      if (!parts[k].item.anchored) break;
    }
  }
  return parts;
}

// A literal that may float, together with the parts rigidly chained behind it up to the last
// chained literal, becomes one part searched for as a unit.
void GroupParts(std::vector<TParsedPart>& parts) {
  int head = -1, last = -1;
  bool close = false;
  for (int j = static_cast<int>(parts.size()) - 1; j >= 0; --j) {
    const TSubPartItem& p = parts[static_cast<size_t>(j)].item;
    if (!p.tail && IsLiteral(p)) {
      head = j;
      if (!p.anchored)
        close = true;
      else if (last == -1)
        last = j;
    }
    if (!p.tail && p.one_char) close = !p.anchored;
    if (j == 0 && IsLiteral(p) && p.anchored) close = false;
    if (close && last >= 0 && head >= 0 && head < last) {
      TParsedPart& h = parts[static_cast<size_t>(head)];
      h.group.push_back(h.item);
      for (int k = head + 1; k <= last; ++k) {
        h.group.push_back(parts[static_cast<size_t>(k)].item);
        parts[static_cast<size_t>(k)].in_group = true;
      }
    }
    if (close) {
      head = last = -1;
      close = false;
    }
  }
  // Taken out only now: erasing inside the walk would make long specs quadratic.
  std::erase_if(parts, [](const TParsedPart& p) { return p.in_group; });
}

}  // namespace

void TFileSpecProcessor::ClearSpecs() {
  pool_.clear();
  specs_.clear();
  parts_.clear();
  group_parts_.clear();
  match_all_ = false;
}

void TFileSpecProcessor::SetSpecs(std::string_view text) {
  ClearSpecs();
  if (text.size() >= std::numeric_limits<uint32_t>::max() / 2)
    throw std::length_error("spec text too long");
  pool_.reserve(text.size() + 1);
  size_t pos = 0;
  while (pos <= text.size()) {
    size_t end = text.find(kSeparator, pos);
    if (end == std::string_view::npos) end = text.size();
    const std::string_view piece = platform::TrimBlanks(text.substr(pos, end - pos));
    if (!piece.empty()) AddSpec(piece);
    pos = end + 1;
  }
}

void TFileSpecProcessor::SetSpecList(std::span<const std::string> texts) {
  std::string joined;
  for (size_t i = 0; i < texts.size(); ++i) {
    if (i > 0) joined += kSeparator;
    joined += texts[i];
  }
  SetSpecs(joined);
}

uint32_t TFileSpecProcessor::AddText(std::string_view text) {
  const auto start = static_cast<uint32_t>(pool_.size());
  for (char c : text) pool_ += platform::UpCase(c);
  return start;
}

void TFileSpecProcessor::AddSpec(std::string_view piece) {
  TPartFilterItem spec;
  spec.text_start = AddText(piece);
  spec.text_len = static_cast<uint32_t>(piece.size());
  std::vector<TParsedPart> parts =
      SplitSpec(std::string_view(pool_).substr(spec.text_start, spec.text_len), spec.text_start);
  GroupParts(parts);
  if (parts.empty()) {
    // Stars only: the match-all form, one floating "." part.
    TSubPartItem dot;
    dot.text_start = AddText(".");
    dot.text_len = 1;
    parts.push_back({dot, {}});
  }
  const TSubPartItem& only = parts[0].item;
  if (parts.size() == 1 && !only.anchored && !only.tail && parts[0].group.empty() &&
      Text(only) == ".")
    match_all_ = true;

  spec.part_first = static_cast<uint32_t>(parts_.size());
  spec.part_count = static_cast<uint32_t>(parts.size());
  for (TParsedPart& p : parts) {
    if (!p.group.empty()) {
      p.item.group_first = static_cast<int32_t>(group_parts_.size());
      p.item.group_count = static_cast<uint32_t>(p.group.size());
      group_parts_.insert(group_parts_.end(), p.group.begin(), p.group.end());
    }
    parts_.push_back(p.item);
  }
  specs_.push_back(spec);
}

std::string_view TFileSpecProcessor::SpecText(size_t index) const {
  if (index >= specs_.size()) return {};
  return std::string_view(pool_).substr(specs_[index].text_start, specs_[index].text_len);
}

std::span<const TSubPartItem> TFileSpecProcessor::Parts(size_t index) const {
  if (index >= specs_.size()) return {};
  return std::span(parts_).subspan(specs_[index].part_first, specs_[index].part_count);
}

std::span<const TSubPartItem> TFileSpecProcessor::Group(const TSubPartItem& part) const {
  if (part.group_first < 0) return {};
  return std::span(group_parts_).subspan(static_cast<size_t>(part.group_first), part.group_count);
}

std::string_view TFileSpecProcessor::Text(const TSubPartItem& part) const {
  return std::string_view(pool_).substr(part.text_start, part.text_len);
}

template <bool kFold>
bool TFileSpecProcessor::MatchesAny(std::string_view name) const {
  for (const TPartFilterItem& spec : specs_) {
    const auto parts = std::span(parts_).subspan(spec.part_first, spec.part_count);
    if (SpecMatches<kFold>(*this, parts, name)) return true;
  }
  return false;
}

bool TFileSpecProcessor::Matches(std::string_view name, bool match_all_result) const {
  if (IsMatchAll()) return match_all_result;
  return MatchesAny<true>(name);
}

bool TFileSpecProcessor::MatchesUpper(std::string_view upper_name, bool match_all_result) const {
  if (IsMatchAll()) return match_all_result;
  return MatchesAny<false>(upper_name);
}

}  // namespace twn
