#pragma once
// The settings file's plain values, one table per record: each row names a key, the member it
// holds and the default it reads as. One reader and one writer walk a table, so the two cannot
// disagree on a key's name, kind, place or default.
#include <algorithm>
#include <charconv>
#include <climits>
#include <cstdint>
#include <cstring>
#include <initializer_list>
#include <string>
#include <string_view>
#include <type_traits>
#include <variant>

#include "model/kel_ini.h"
#include "platform/locale.h"
#include "platform/time.h"

namespace twn::settings_fields {

// A key or section name put together without the heap: "L_Path" 2, {"LogFull", "_bUse"}.
class TKeyName {
 public:
  TKeyName(std::initializer_list<std::string_view> parts) {
    for (std::string_view part : parts) Append(part);
  }
  TKeyName(std::string_view name, int number) {
    Append(name);
    size_ = size_t(std::to_chars(buf_ + size_, buf_ + sizeof buf_, number).ptr - buf_);
  }
  operator std::string_view() const { return std::string_view(buf_, size_); }

 private:
  void Append(std::string_view part) {
    const size_t n = std::min(part.size(), sizeof buf_ - 16 - size_);
    std::memcpy(buf_ + size_, part.data(), n);
    size_ += n;
  }
  char buf_[80];
  size_t size_ = 0;
};

// Flags are 0 or 1; anything else (a 2, a word, no key) is the key's default.
inline bool ReadFlag(const TKelIni& ini, int s, std::string_view key, bool def) {
  switch (ini.ReadInteger(s, key, 2)) {
    case 0:
      return false;
    case 1:
      return true;
    default:
      return def;
  }
}

inline void WriteFlag(TKelIni& ini, int s, std::string_view key, bool value) {
  ini.WriteInteger(s, key, value ? 1 : 0);
}

/// One key of a record R. The kind follows from the member: bool is a flag, the integers are
/// integers (an unsigned one is a bit set stored as signed, a 64-bit one is written in full but
/// read as 32 bits like every integer), double is a float or date-time, std::string a string.
template <class R>
struct TField {
  std::string_view Key;
  std::variant<bool R::*, int32_t R::*, uint32_t R::*, int64_t R::*, double R::*, std::string R::*>
      Member;
  /// The default of a flag (0 or 1), an integer or a float, and of a string.
  double Number = 0;
  std::string_view Text = {};
  /// A date-time that defaults to the moment of reading.
  bool bNow = false;
};

template <class R>
constexpr TField<R> Flag(std::string_view key, bool R::*member, bool def = false) {
  return {key, member, def ? 1.0 : 0.0};
}

template <class R, class T>
constexpr TField<R> Integer(std::string_view key, T R::*member, int32_t def = 0) {
  static_assert(std::is_integral_v<T> && !std::is_same_v<T, bool>, "a bool is a Flag");
  return {key, member, double(def)};
}

template <class R>
constexpr TField<R> Float(std::string_view key, double R::*member, double def) {
  return {key, member, def};
}

template <class R>
constexpr TField<R> DateTimeNow(std::string_view key, double R::*member) {
  return {key, member, 0, {}, true};
}

template <class R>
constexpr TField<R> Text(std::string_view key, std::string R::*member, std::string_view def = {}) {
  return {key, member, 0, def};
}

// A '*' in a row's key stands for the instance of a record kept several times under one
// section ("b_*_moved" of the window "QuickInfo").
inline TKeyName InstanceKey(std::string_view key, std::string_view instance) {
  const size_t star = std::min(key.find('*'), key.size());
  return TKeyName({key.substr(0, star), instance, key.substr(std::min(star + 1, key.size()))});
}

// Sizes are written in full, so they are read in full too: a value beyond 32 bits read as a
// 32-bit number would come back as the default. Anything else is read as any number is.
inline int64_t ReadInt64(const TKelIni& ini, int s, std::string_view key, int64_t def) {
  const std::string text(platform::TrimBlanks(ini.ReadString(s, key, "")));
  int64_t value = 0;
  const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (!text.empty() && ec == std::errc() && end == text.data() + text.size()) return value;
  const auto narrow = int32_t(std::clamp<int64_t>(def, INT32_MIN, INT32_MAX));
  return def == narrow ? ini.ReadInteger(s, key, narrow) : def;
}

// Reads one value; `def` is the row's default or, for `keep`, the value already held.
template <class R>
void ReadField(const TKelIni& ini, int s, std::string_view key, const TField<R>& row, R& record,
               platform::TDateTime now, bool keep) {
  std::visit(
      [&](auto member) {
        auto& value = record.*member;
        using T = std::remove_reference_t<decltype(value)>;
        if constexpr (std::is_same_v<T, bool>) {
          value = ReadFlag(ini, s, key, keep ? value : row.Number != 0);
        } else if constexpr (std::is_same_v<T, int64_t>) {
          value = ReadInt64(ini, s, key, keep ? value : int64_t(row.Number));
        } else if constexpr (std::is_integral_v<T>) {
          value = T(ini.ReadInteger(s, key, keep ? int32_t(value) : int32_t(row.Number)));
        } else if constexpr (std::is_same_v<T, double>) {
          value = ini.ReadFloat(s, key, keep ? value : row.bNow ? now : row.Number);
        } else {
          value = ini.ReadString(s, key, keep ? std::string_view(value) : row.Text);
        }
      },
      row.Member);
}

template <class R>
void WriteField(TKelIni& ini, int s, std::string_view key, const TField<R>& row, const R& record) {
  std::visit(
      [&](auto member) {
        const auto& value = record.*member;
        using T = std::remove_cvref_t<decltype(value)>;
        if constexpr (std::is_same_v<T, bool>) {
          WriteFlag(ini, s, key, value);
        } else if constexpr (std::is_same_v<T, int64_t>) {
          char digits[24];
          ini.WriteString(s, key,
                          std::string_view(digits, std::to_chars(digits, digits + 24, value).ptr));
        } else if constexpr (std::is_integral_v<T>) {
          ini.WriteInteger(s, key, static_cast<int32_t>(value));
        } else if constexpr (std::is_same_v<T, double>) {
          ini.WriteFloat(s, key, value);
        } else {
          ini.WriteString(s, key, value);
        }
      },
      row.Member);
}

/// Reads every row of `table` into `record`; a key that is missing or cannot be read takes
/// the row's default. `instance` fills the '*' of the keys.
template <class R, size_t N>
void ReadFields(const TKelIni& ini, int s, const TField<R> (&table)[N], R& record,
                platform::TDateTime now, std::string_view instance = {}) {
  for (const TField<R>& row : table) {
    if (instance.empty())
      ReadField(ini, s, row.Key, row, record, now, false);
    else
      ReadField(ini, s, InstanceKey(row.Key, instance), row, record, now, false);
  }
}

/// The same for a record whose defaults are the values it holds (they differ by instance):
/// a key that is missing or cannot be read leaves its field as it is.
template <class R, size_t N>
void ReadFieldsOver(const TKelIni& ini, int s, const TField<R> (&table)[N], R& record,
                    std::string_view instance) {
  for (const TField<R>& row : table)
    ReadField(ini, s, InstanceKey(row.Key, instance), row, record, 0, true);
}

/// Writes every row of `table` from `record`, in the table's order.
template <class R, size_t N>
void WriteFields(TKelIni& ini, int s, const TField<R> (&table)[N], const R& record,
                 std::string_view instance = {}) {
  for (const TField<R>& row : table) {
    if (instance.empty())
      WriteField(ini, s, row.Key, row, record);
    else
      WriteField(ini, s, InstanceKey(row.Key, instance), row, record);
  }
}

}  // namespace twn::settings_fields
