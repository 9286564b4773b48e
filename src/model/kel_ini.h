#pragma once
// TKelIni: the store for sectioned "key=value" text files.
//
// Reading parses a whole file once into flat tables (sections, keys) that refer to two string
// pools by offset, then sorts them so that every read is two searches by bisection. Writing is
// a separate use of a fresh store: sections and keys are appended in the order they are to
// appear and the whole text is written at once. Values are bytes; nothing is re-encoded.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/fs.h"

namespace twn {

class TKelIni {
 public:
  TKelIni();

  /// Empties the store, reads the file and prepares it for lookup. A missing or unreadable file
  /// leaves the store empty (what was read before a read error is kept). Returns 0, or the error
  /// that kept the file from being read (ENOENT when there is none, EISDIR for a folder, EINVAL
  /// for another kind of entry), so that a caller can refuse to write over a file it could not
  /// read.
  platform::TError LoadFromFile(const std::string& path);
  /// The same over bytes already in memory. `byte_by_byte` skips the shortcut for plain
  /// "key=value" lines; the result is the same (tests compare the two).
  void LoadFromText(std::string_view bytes, bool byte_by_byte = false);
  /// Empties the store and gives its memory back.
  void Clear();

  /// Index of the section of that name (a-z folded), or -1.
  int FindSection(std::string_view name) const;
  /// The key's value, or `def` when the section or the key is not there.
  std::string ReadString(int section, std::string_view key, std::string_view def) const;
  /// Decimal, "$" or "0x" hexadecimal; `def` when the text is not a 32-bit number.
  int32_t ReadInteger(int section, std::string_view key, int32_t def) const;
  /// A decimal number with the locale's separator; `def` when the text is not one.
  double ReadFloat(int section, std::string_view key, double def) const;

  /// Appends a section (no search for an existing one); returns its index.
  int AddSection(std::string_view name);
  /// Appends a key bound to `section`; nothing happens for -1.
  void WriteString(int section, std::string_view key, std::string_view value);
  void WriteInteger(int section, std::string_view key, int32_t value);
  void WriteFloat(int section, std::string_view key, double value);

  /// The file text of the keys written so far: headers and keys in insertion order.
  std::string_view BuildText();
  /// Writes BuildText() to `path` atomically: a temporary file in the same folder, flushed to
  /// disk and renamed over `path`. On failure the old file is untouched and the error returned.
  platform::TError SaveToFile(const std::string& path);

  int SectionCount() const { return int(sections_.size()); }
  int KeyCount() const { return int(keys_.size()); }
  /// A section's name as stored (upper-cased after a load).
  std::string_view SectionName(int section) const;
  /// Section headers the loaded file had, repeated ones counted each time.
  int HeaderCount() const { return header_count_; }
  /// The names (upper-cased) of a section's keys that start with `prefix` (a-z folded), sorted.
  std::vector<std::string_view> KeysWithPrefix(int section, std::string_view prefix) const;

 private:
  struct TSectionEntry {
    uint32_t name_offset, name_length, order, first_key, key_count;
  };
  struct TKeyEntry {
    uint32_t name_offset, name_length, value_offset, value_length, section;
  };
  void Reset();
  platform::TError ReadAll(int fd, size_t expected_size);
  struct TParseState;
  void Parse(std::string_view bytes, bool byte_by_byte);
  void AddKey(int section, std::string_view key, std::string_view value);
  void ParseKeyLine(std::string_view line, int current);
  void ParseBytes(std::string_view bytes, TParseState& state);
  void PrepareForLookup();
  void MergeSections();
  void GroupKeysBySection();
  void PlaceKeysBySection();
  std::string_view Name(uint32_t offset, uint32_t length) const;
  const TKeyEntry* FindKey(int section, std::string_view key) const;
  std::string_view ValueOf(const TKeyEntry& key) const;

  std::vector<TSectionEntry> sections_;
  std::vector<TKeyEntry> keys_;
  std::vector<char> names_;
  std::vector<char> values_;
  std::string text_;
  int header_count_ = 0;
};

/// The general number format with 15 significant digits and the locale's decimal separator
/// ("38000.5", "1E-5"), as WriteFloat writes it.
std::string FloatToText(double value);

}  // namespace twn
