#include "model/kel_ini.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <charconv>
#include <climits>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <optional>

#include "platform/atomic_file.h"
#include "platform/locale.h"
#include "platform/unique_fd.h"

namespace twn {
namespace {

constexpr size_t kTableStep = 64;
constexpr size_t kPoolStep = 65536;
constexpr size_t kTextStep = 131072;
constexpr size_t kChunk = 16384;
constexpr uint32_t kNoKey = 0xFFFFFFFF;

// Capacity grows in whole steps and at least doubles, so a large file is not copied over and
// over while it is read.
template <typename V>
void Grow(V& block, size_t needed, size_t step) {
  if (needed <= block.capacity()) return;
  size_t capacity = std::max(needed, block.capacity() * 2);
  capacity = (capacity + step - 1) / step * step;
  block.reserve(capacity);
}

template <typename V>
void ResetBlock(V& block, size_t initial) {
  V fresh;
  fresh.reserve(initial);
  block.swap(fresh);
}

// A stored name or value ends at its first zero byte.
std::string_view UpToZero(std::string_view s) {
  const size_t zero = s.find('\0');
  return zero == std::string_view::npos ? s : s.substr(0, zero);
}

// An asked name folded to upper case once, to be compared with the stored upper-case names.
class TFoldedName {
 public:
  explicit TFoldedName(std::string_view name) {
    char* out = name.size() <= sizeof short_ ? short_ : (long_.resize(name.size()), long_.data());
    for (size_t i = 0; i < name.size(); ++i) out[i] = platform::UpCase(name[i]);
    view_ = std::string_view(out, name.size());
  }
  TFoldedName(const TFoldedName&) = delete;
  TFoldedName& operator=(const TFoldedName&) = delete;
  std::string_view View() const { return view_; }

 private:
  char short_[128];
  std::string long_;
  std::string_view view_;
};

bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}

// A key name or value as the parser takes it: up to a zero byte, then trimmed, so that what is
// read is written back and read again unchanged.
std::string_view Taken(std::string_view text) {
  return platform::TrimBlanks(UpToZero(text));
}

// Byte-wise, unsigned, a prefix first. Names are short: an inline loop beats a memcmp call.
int CompareNames(std::string_view a, std::string_view b) {
  const size_t n = std::min(a.size(), b.size());
  for (size_t i = 0; i < n; ++i) {
    if (a[i] != b[i])
      return static_cast<unsigned char>(a[i]) < static_cast<unsigned char>(b[i]) ? -1 : 1;
  }
  return a.size() < b.size() ? -1 : (a.size() > b.size() ? 1 : 0);
}

// The bytes the parser acts on; every other byte only goes into the text.
constexpr std::array<bool, 256> kSpecial = [] {
  std::array<bool, 256> table{};
  for (unsigned char c : std::string_view("[]=\r\n/")) table[c] = true;
  return table;
}();

bool IsSpecial(char c) {
  return kSpecial[static_cast<unsigned char>(c)];
}

// Appends a string and its zero byte to a pool; returns its offset.
uint32_t AddToPool(std::vector<char>& pool, std::string_view s) {
  const auto offset = static_cast<uint32_t>(pool.size());
  Grow(pool, pool.size() + s.size() + 1, kPoolStep);
  pool.insert(pool.end(), s.begin(), s.end());
  pool.push_back('\0');
  return offset;
}

std::optional<int32_t> ParseInteger(std::string_view t) {
  std::string_view digits = t;
  bool negative = false;
  if (!digits.empty() && (digits[0] == '+' || digits[0] == '-')) {
    negative = digits[0] == '-';
    digits.remove_prefix(1);
  }
  const bool hex = !digits.empty() && digits[0] == '$';
  if (hex) digits.remove_prefix(1);
  if (digits.empty()) return std::nullopt;
  uint64_t magnitude = 0;
  const auto [end, ec] =
      std::from_chars(digits.data(), digits.data() + digits.size(), magnitude, hex ? 16 : 10);
  if (ec != std::errc() || end != digits.data() + digits.size()) return std::nullopt;
  if (hex) {
    // Hexadecimal covers the whole 32-bit pattern: $FFFFFFFF is -1.
    if (magnitude > 0xFFFFFFFFull) return std::nullopt;
    const uint32_t bits = static_cast<uint32_t>(magnitude);
    return static_cast<int32_t>(negative ? 0u - bits : bits);
  }
  if (magnitude > (negative ? 2147483648ull : 2147483647ull)) return std::nullopt;
  return static_cast<int32_t>(negative ? -static_cast<int64_t>(magnitude)
                                       : static_cast<int64_t>(magnitude));
}

// [sign] digits [separator digits] [E [sign] digits], with at least one mantissa digit.
std::optional<double> ParseFloat(std::string_view t, char separator) {
  std::string normal;
  normal.reserve(t.size());
  size_t i = 0;
  if (i < t.size() && (t[i] == '+' || t[i] == '-')) normal += t[i++] == '-' ? "-" : "";
  size_t mantissa_digits = 0;
  for (; i < t.size() && IsDigit(t[i]); ++i, ++mantissa_digits) normal += t[i];
  if (i < t.size() && t[i] == separator) {
    normal += '.';
    for (++i; i < t.size() && IsDigit(t[i]); ++i, ++mantissa_digits) normal += t[i];
  }
  if (mantissa_digits == 0) return std::nullopt;
  if (i < t.size() && (t[i] == 'e' || t[i] == 'E')) {
    normal += 'e';
    ++i;
    if (i < t.size() && (t[i] == '+' || t[i] == '-')) normal += t[i++];
    const size_t start = i;
    for (; i < t.size() && IsDigit(t[i]); ++i) normal += t[i];
    if (i == start) return std::nullopt;
  }
  if (i != t.size()) return std::nullopt;
  double value = 0;
  const auto [end, ec] = std::from_chars(normal.data(), normal.data() + normal.size(), value);
  if (ec != std::errc() || end != normal.data() + normal.size()) return std::nullopt;
  return value;
}

platform::TError WriteAll(int fd, std::string_view data) {
  while (!data.empty()) {
    const ssize_t n = ::write(fd, data.data(), std::min(data.size(), kChunk));
    if (n < 0) {
      if (errno == EINTR) continue;
      return errno;
    }
    data.remove_prefix(static_cast<size_t>(n));
  }
  return 0;
}

// Where the text really goes: a symbolic link to the settings file keeps pointing at it.
std::string ResolveTarget(const std::string& path) {
  struct stat st {};
  if (::lstat(path.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) return path;
  char* real = ::realpath(path.c_str(), nullptr);
  if (!real) return path;
  std::string target(real);
  std::free(real);
  return target;
}

platform::TError WriteFileAtomically(const std::string& path, std::string_view text) {
  const std::string target = ResolveTarget(path);
  platform::TAtomicFile file;
  const std::string prefix = std::string(platform::LastComponent(target)) + ".tmp";
  if (const platform::TError e = file.Create(target, prefix)) return e;
  struct stat old {};
  if (::stat(target.c_str(), &old) == 0 && S_ISREG(old.st_mode))
    ::fchmod(file.Fd(), old.st_mode & 07777);
  if (const platform::TError e = WriteAll(file.Fd(), text)) return e;
  return file.Commit(true);
}

}  // namespace

std::string FloatToText(double value) {
  if (std::isnan(value)) return "NAN";
  if (std::isinf(value)) return value < 0 ? "-INF" : "INF";
  if (value == 0) return "0";
  char buf[40];
  std::snprintf(buf, sizeof buf, "%.14e", std::fabs(value));
  // buf: d.dddddddddddddde[+-]xx -> 15 digits and the exponent of the form 0.ddd x 10^e.
  std::string digits;
  digits += buf[0];
  digits.append(buf + 2, 14);
  const int exponent = std::atoi(std::strchr(buf, 'e') + 1) + 1;
  while (digits.size() > 1 && digits.back() == '0') digits.pop_back();

  const char sep = platform::DecimalSeparator();
  std::string out = value < 0 ? "-" : "";
  if (exponent > 15 || exponent < -3) {
    out += digits[0];
    if (digits.size() > 1) (out += sep) += digits.substr(1);
    out += 'E';
    out += std::to_string(exponent - 1);
  } else if (exponent <= 0) {
    ((out += '0') += sep).append(size_t(-exponent), '0') += digits;
  } else {
    if (digits.size() < size_t(exponent)) digits.append(size_t(exponent) - digits.size(), '0');
    out += digits.substr(0, size_t(exponent));
    if (digits.size() > size_t(exponent)) (out += sep) += digits.substr(size_t(exponent));
  }
  return out;
}

TKelIni::TKelIni() {
  Reset();
}

void TKelIni::Reset() {
  ResetBlock(sections_, kTableStep);
  ResetBlock(keys_, kTableStep);
  ResetBlock(names_, kPoolStep);
  ResetBlock(values_, kPoolStep);
  ResetBlock(text_, kTextStep);
  header_count_ = 0;
}

void TKelIni::Clear() {
  sections_ = {};
  keys_ = {};
  names_ = {};
  values_ = {};
  text_ = {};
  header_count_ = 0;
}

platform::TError TKelIni::LoadFromFile(const std::string& path) {
  Reset();
  // O_NONBLOCK: a FIFO put where the settings file belongs must not hang the program.
  platform::TUniqueFd fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
  if (!fd.Valid()) return errno;
  struct stat st {};
  if (::fstat(fd.Get(), &st) != 0) return errno;
  if (!S_ISREG(st.st_mode)) return S_ISDIR(st.st_mode) ? EISDIR : EINVAL;
  const platform::TError error = ReadAll(fd.Get(), static_cast<size_t>(st.st_size));
  Parse(text_, false);
  PrepareForLookup();
  return error;
}

platform::TError TKelIni::ReadAll(int fd, size_t expected_size) {
  Grow(text_, expected_size + 1, kTextStep);
  for (;;) {
    const size_t used = text_.size();
    text_.resize(used + kChunk);
    const ssize_t n = ::read(fd, text_.data() + used, kChunk);
    text_.resize(used + static_cast<size_t>(std::max<ssize_t>(n, 0)));
    if (n == 0) return 0;
    if (n < 0 && errno != EINTR) return errno;
    if (text_.size() + kChunk > text_.capacity()) Grow(text_, text_.size() + kChunk, kTextStep);
  }
}

void TKelIni::LoadFromText(std::string_view bytes, bool byte_by_byte) {
  Reset();
  Parse(bytes, byte_by_byte);
  PrepareForLookup();
}

int TKelIni::AddSection(std::string_view name) {
  name = UpToZero(name);
  const auto index = static_cast<uint32_t>(sections_.size());
  Grow(sections_, sections_.size() + 1, kTableStep);
  sections_.push_back(
      {AddToPool(names_, name), static_cast<uint32_t>(name.size()), index, kNoKey, 0});
  return int(index);
}

void TKelIni::WriteString(int section, std::string_view key, std::string_view value) {
  if (section < 0 || section >= SectionCount()) return;
  AddKey(section, UpToZero(key), UpToZero(value));
}

// The parser's way in: section valid, key and value already cut at a zero byte.
void TKelIni::AddKey(int section, std::string_view key, std::string_view value) {
  Grow(keys_, keys_.size() + 1, kTableStep);
  keys_.push_back({AddToPool(names_, key), static_cast<uint32_t>(key.size()),
                   AddToPool(values_, value), static_cast<uint32_t>(value.size()),
                   static_cast<uint32_t>(section)});
}

void TKelIni::WriteInteger(int section, std::string_view key, int32_t value) {
  WriteString(section, key, std::to_string(value));
}

void TKelIni::WriteFloat(int section, std::string_view key, double value) {
  WriteString(section, key, FloatToText(value));
}

// The parser's state between lines: the current section and two scratch buffers reused for
// every line, so that parsing allocates nothing per key.
struct TKelIni::TParseState {
  std::string text, key;
  int current = -1;
};

void TKelIni::Parse(std::string_view bytes, bool byte_by_byte) {
  TParseState state;
  state.text.reserve(256);
  state.key.reserve(64);
  if (byte_by_byte) return ParseBytes(bytes, state);
  // Every line end clears the text and the flags, so lines are parsed one by one. A line
  // without brackets is a plain "key=value" (or nothing) and is taken without copying; any
  // other line, and a last line without a line end, goes byte by byte.
  size_t pos = 0;
  while (pos < bytes.size()) {
    size_t end = pos;
    bool brackets = false;
    for (; end < bytes.size() && bytes[end] != '\r' && bytes[end] != '\n'; ++end)
      brackets |= bytes[end] == '[' || bytes[end] == ']';
    if (end == bytes.size()) {
      ParseBytes(bytes.substr(pos), state);
      return;
    }
    if (brackets)
      ParseBytes(bytes.substr(pos, end - pos + 1), state);
    else
      ParseKeyLine(bytes.substr(pos, end - pos), state.current);
    pos = end + 1;
  }
}

void TKelIni::ParseKeyLine(std::string_view line, int current) {
  const size_t equals = line.find('=');
  if (equals == std::string_view::npos || current < 0) return;
  const std::string_view key = Taken(line.substr(0, equals));
  if (!key.empty()) AddKey(current, key, Taken(line.substr(equals + 1)));
}

void TKelIni::ParseBytes(std::string_view bytes, TParseState& state) {
  std::string& text = state.text;
  bool in_header = false, after_equals = false, in_comment = false;
  for (size_t i = 0; i < bytes.size(); ++i) {
    const char c = bytes[i];
    switch (c) {
      case '[':
        if (after_equals || (in_header && !in_comment)) {
          text += c;
        } else if (!in_comment) {
          text.clear();
          in_header = true;
        }
        break;
      case ']':
        if (after_equals) {
          text += c;
        } else if (in_header && !in_comment && !platform::TrimBlanks(text).empty()) {
          // The header flag stays and the text stays: the rest of the line is no key.
          state.current = AddSection(text);
        }
        break;
      case '=':
        if (in_header || after_equals) {
          text += c;
        } else {
          state.key.assign(Taken(text));
          text.clear();
          after_equals = true;
        }
        break;
      case '\r':
      case '\n':
        if (after_equals && !state.key.empty() && state.current >= 0)
          AddKey(state.current, state.key, Taken(text));
        text.clear();
        in_header = after_equals = in_comment = false;
        break;
      case '/':
        if (i + 1 < bytes.size() && bytes[i + 1] == '/') in_comment = true;
        text += c;
        break;
      default: {
        // Plain bytes come in runs; take the whole run at once.
        size_t end = i + 1;
        while (end < bytes.size() && !IsSpecial(bytes[end])) ++end;
        text.append(bytes.data() + i, end - i);
        i = end - 1;
      }
    }
  }
}

std::string_view TKelIni::Name(uint32_t offset, uint32_t length) const {
  return std::string_view(names_.data() + offset, length);
}

void TKelIni::PrepareForLookup() {
  header_count_ = SectionCount();
  for (char& c : names_) c = platform::UpCase(c);
  std::stable_sort(sections_.begin(), sections_.end(),
                   [this](const TSectionEntry& a, const TSectionEntry& b) {
                     return Name(a.name_offset, a.name_length) < Name(b.name_offset, b.name_length);
                   });
  MergeSections();
  GroupKeysBySection();
}

// Each section's keys must lie together, sorted by name. In a file without repeated headers
// they already lie together in file order; otherwise they are placed section by section in one
// counting pass. Which of two equal keys comes first does not matter.
void TKelIni::GroupKeysBySection() {
  for (TSectionEntry& section : sections_) {
    section.first_key = kNoKey;
    section.key_count = 0;
  }
  bool together = true;
  for (uint32_t i = 0; i < keys_.size(); ++i) {
    TSectionEntry& section = sections_[keys_[i].section];
    if (section.key_count == 0)
      section.first_key = i;
    else if (section.first_key + section.key_count != i)
      together = false;
    ++section.key_count;
  }
  if (!together) PlaceKeysBySection();
  for (const TSectionEntry& section : sections_) {
    if (section.key_count == 0) continue;
    const auto begin = keys_.begin() + section.first_key;
    std::sort(begin, begin + section.key_count, [this](const TKeyEntry& a, const TKeyEntry& b) {
      return CompareNames(Name(a.name_offset, a.name_length), Name(b.name_offset, b.name_length)) <
             0;
    });
  }
}

void TKelIni::PlaceKeysBySection() {
  std::vector<uint32_t> next(sections_.size());
  uint32_t first = 0;
  for (size_t i = 0; i < sections_.size(); ++i) {
    sections_[i].first_key = sections_[i].key_count ? first : kNoKey;
    next[i] = first;
    first += sections_[i].key_count;
  }
  std::vector<TKeyEntry> placed(keys_.size());
  for (const TKeyEntry& key : keys_) placed[next[key.section]++] = key;
  keys_.swap(placed);
}

// Sections of equal names (now adjacent, in file order) become the first of them; their keys
// follow it.
void TKelIni::MergeSections() {
  std::vector<uint32_t> new_index(sections_.size());
  uint32_t survivors = 0;
  for (const TSectionEntry entry : sections_) {
    const std::string_view name = Name(entry.name_offset, entry.name_length);
    if (survivors > 0) {
      const TSectionEntry& last = sections_[survivors - 1];
      if (name == Name(last.name_offset, last.name_length)) {
        new_index[entry.order] = survivors - 1;
        continue;
      }
    }
    new_index[entry.order] = survivors;
    sections_[survivors] = entry;
    sections_[survivors].order = survivors;
    ++survivors;
  }
  sections_.resize(survivors);
  for (TKeyEntry& key : keys_) key.section = new_index[key.section];
}

std::string_view TKelIni::SectionName(int section) const {
  if (section < 0 || section >= SectionCount()) return {};
  const TSectionEntry& entry = sections_[size_t(section)];
  return Name(entry.name_offset, entry.name_length);
}

int TKelIni::FindSection(std::string_view name) const {
  const TFoldedName asked(name);
  size_t low = 0, high = sections_.size();
  while (low < high) {
    const size_t probe = low + (high - low) / 2;
    const TSectionEntry& entry = sections_[probe];
    const int order = CompareNames(asked.View(), Name(entry.name_offset, entry.name_length));
    if (order == 0) return int(probe);
    if (order > 0)
      low = probe + 1;
    else
      high = probe;
  }
  return -1;
}

const TKelIni::TKeyEntry* TKelIni::FindKey(int section, std::string_view key) const {
  if (section < 0 || section >= SectionCount()) return nullptr;
  const TSectionEntry& entry = sections_[size_t(section)];
  if (entry.key_count == 0) return nullptr;
  const TFoldedName asked(key);
  size_t low = entry.first_key, high = size_t(entry.first_key) + entry.key_count;
  while (low < high) {
    const size_t probe = low + (high - low) / 2;
    const TKeyEntry& k = keys_[probe];
    const int order = CompareNames(asked.View(), Name(k.name_offset, k.name_length));
    if (order == 0) return &k;
    if (order > 0)
      low = probe + 1;
    else
      high = probe;
  }
  return nullptr;
}

std::vector<std::string_view> TKelIni::KeysWithPrefix(int section, std::string_view prefix) const {
  std::vector<std::string_view> names;
  if (section < 0 || section >= SectionCount() || sections_[size_t(section)].key_count == 0)
    return names;
  const TFoldedName asked(prefix);
  const TSectionEntry& entry = sections_[size_t(section)];
  const auto begin = keys_.begin() + entry.first_key;
  const auto end = begin + entry.key_count;
  auto it = std::partition_point(begin, end, [&](const TKeyEntry& k) {
    return CompareNames(Name(k.name_offset, k.name_length), asked.View()) < 0;
  });
  for (; it != end && Name(it->name_offset, it->name_length).starts_with(asked.View()); ++it)
    names.push_back(Name(it->name_offset, it->name_length));
  return names;
}

std::string_view TKelIni::ValueOf(const TKeyEntry& key) const {
  return std::string_view(values_.data() + key.value_offset, key.value_length);
}

std::string TKelIni::ReadString(int section, std::string_view key, std::string_view def) const {
  const TKeyEntry* k = FindKey(section, key);
  return std::string(k ? ValueOf(*k) : def);
}

int32_t TKelIni::ReadInteger(int section, std::string_view key, int32_t def) const {
  const TKeyEntry* k = FindKey(section, key);
  if (!k) return def;
  std::string_view text = ValueOf(*k);
  std::string hex;
  if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
    hex = "$";
    hex += text.substr(2);
    text = hex;
  }
  return ParseInteger(text).value_or(def);
}

double TKelIni::ReadFloat(int section, std::string_view key, double def) const {
  const TKeyEntry* k = FindKey(section, key);
  if (!k) return def;
  return ParseFloat(ValueOf(*k), platform::DecimalSeparator()).value_or(def);
}

std::string_view TKelIni::BuildText() {
  text_.clear();
  uint32_t previous = kNoKey;
  for (const TKeyEntry& key : keys_) {
    const TSectionEntry& section = sections_[key.section];
    const std::string_view section_name = Name(section.name_offset, section.name_length);
    const std::string_view name = Name(key.name_offset, key.name_length);
    const std::string_view value = ValueOf(key);
    Grow(text_, text_.size() + section_name.size() + name.size() + value.size() + 8, kTextStep);
    if (key.section != previous) {
      if (previous != kNoKey) text_ += "\r\n";
      ((text_ += '[') += section_name) += "]\r\n";
      previous = key.section;
    }
    (((text_ += name) += '=') += value) += "\r\n";
  }
  return text_;
}

platform::TError TKelIni::SaveToFile(const std::string& path) {
  return WriteFileAtomically(path, BuildText());
}

}  // namespace twn
