#pragma once
// Storage of the scan: a table of fixed-size records that grows by a fixed step, and a byte pool
// of NUL-terminated names. Records refer to each other by 32-bit index (-1 = none), never by
// address, because a table moves when it grows.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <new>
#include <stdexcept>
#include <string_view>
#include <type_traits>
#include <utility>
#include <vector>

namespace twn {

namespace detail {
struct TFree {
  void operator()(void* p) const { std::free(p); }
};
/// realloc that throws on exhaustion; large blocks are remapped rather than copied.
inline void* Grow(void* p, size_t bytes) {
  void* q = std::realloc(p, bytes);
  if (!q) throw std::bad_alloc();
  return q;
}
}  // namespace detail

template <class T>
class TTable {
  static_assert(std::is_trivially_copyable_v<T>);

 public:
  explicit TTable(uint32_t step) : step_(step ? step : 1) {}

  int32_t Count() const { return count_; }
  size_t Capacity() const { return capacity_; }
  T& operator[](int32_t i) { return data_.get()[i]; }
  const T& operator[](int32_t i) const { return data_.get()[i]; }
  T* begin() { return data_.get(); }
  T* end() { return data_.get() + count_; }
  const T* begin() const { return data_.get(); }
  const T* end() const { return data_.get() + count_; }
  bool InRange(int32_t i) const { return i >= 0 && i < count_; }

  /// Appends a record and returns its index, growing by one step when full.
  int32_t Append(const T& record) {
    if (static_cast<size_t>(count_) == capacity_) Reserve(capacity_ + step_);
    data_.get()[count_] = record;
    return count_++;
  }
  /// Adds `n` records at the end for the caller to fill; returns the first of them.
  T* Extend(size_t n) {
    if (count_ + n > capacity_) Reserve(count_ + n);
    T* first = data_.get() + count_;
    count_ += static_cast<int32_t>(n);
    return first;
  }
  /// Drops the records from `count` on and gives their memory back.
  void Shrink(int32_t count) {
    if (count == 0) return Release();
    data_.reset(static_cast<T*>(detail::Grow(data_.release(), count * sizeof(T))));
    count_ = count;
    capacity_ = static_cast<size_t>(count);
  }
  /// Empties the table and makes room for exactly `n` records at once.
  void Allocate(size_t n) {
    count_ = 0;
    if (n > capacity_) Reserve(n);
  }
  /// Empties the table and gives its memory back.
  void Release() {
    data_.reset();
    count_ = 0;
    capacity_ = 0;
  }
  void SetStep(uint32_t step) { step_ = step ? step : 1; }

 private:
  void Reserve(size_t capacity) {
    if (capacity > static_cast<size_t>(INT32_MAX)) throw std::length_error("table too large");
    void* p = detail::Grow(data_.get(), capacity * sizeof(T));
    (void)data_.release();
    data_.reset(static_cast<T*>(p));
    capacity_ = capacity;
  }

  std::unique_ptr<T, detail::TFree> data_;
  int32_t count_ = 0;
  size_t capacity_ = 0;
  uint32_t step_;
};

/// Moves record i to position to[i] for every i, in place (`to` is a permutation; it is used up).
template <class T>
void Permute(TTable<T>& table, std::vector<int32_t>& to) {
  for (int32_t i = 0; i < table.Count(); ++i) {
    while (to[static_cast<size_t>(i)] != i) {
      const int32_t j = to[static_cast<size_t>(i)];
      std::swap(table[i], table[j]);
      std::swap(to[static_cast<size_t>(i)], to[static_cast<size_t>(j)]);
    }
  }
}

/// Appends every record of `from` to `to`, each passed through `fix`, and empties `from`.
/// Copied from the end in slices whose memory goes back at once, so that the two tables never
/// hold a large part twice.
template <class T, class Fix>
void MoveAppend(TTable<T>& to, TTable<T>& from, Fix fix) {
  const int32_t n = from.Count();
  T* dest = to.Extend(static_cast<size_t>(n));
  constexpr int32_t kSlice = (1 << 20) / sizeof(T) + 1;
  for (int32_t end = n; end > 0;) {
    const int32_t begin = end > kSlice ? end - kSlice : 0;
    for (int32_t i = begin; i < end; ++i) {
      dest[i] = from[i];
      fix(dest[i]);
    }
    from.Shrink(begin);
    end = begin;
  }
}

/// All names and paths of a scan, each followed by one NUL. Offsets are 64-bit: a million
/// folders with long paths pass 4 GB.
class TNamePool {
 public:
  explicit TNamePool(uint64_t step) : step_(step ? step : 1) {}

  /// Appends the text and a NUL; returns the text's offset.
  uint64_t Add(std::string_view text) {
    const uint64_t need = fill_ + text.size() + 1;
    if (need > capacity_) Reserve(need);
    const uint64_t offset = fill_;
    if (!text.empty()) std::memcpy(data_.get() + offset, text.data(), text.size());
    data_.get()[offset + text.size()] = 0;
    fill_ = need;
    return offset;
  }
  /// Space for `max` bytes after the filled part, to be written in place and then taken by
  /// Commit (so a text read from the system needs no buffer of its own). Valid until the next
  /// change of the pool.
  char* Room(uint64_t max) {
    if (fill_ + max + 1 > capacity_) Reserve(fill_ + max + 1);
    return data_.get() + fill_;
  }
  /// Takes the first `length` bytes written into the Room and a NUL; returns their offset.
  uint64_t Commit(uint64_t length) {
    const uint64_t offset = fill_;
    data_.get()[offset + length] = 0;
    fill_ += length + 1;
    return offset;
  }
  /// Makes this pool an exact copy of `other`'s filled bytes.
  void CopyFrom(const TNamePool& other) {
    Release();
    if (other.fill_ == 0) return;
    data_.reset(static_cast<char*>(detail::Grow(nullptr, other.fill_)));
    std::memcpy(data_.get(), other.data_.get(), other.fill_);
    capacity_ = fill_ = other.fill_;
  }
  void Release() {
    data_.reset();
    fill_ = capacity_ = 0;
  }
  /// Appends `from`'s bytes and empties it, copied from the end in slices whose memory goes
  /// back at once, so that a large pool is never held twice.
  void MoveAppend(TNamePool& from) {
    const uint64_t n = from.fill_;
    if (fill_ + n > capacity_) Reserve(fill_ + n);
    char* dest = data_.get() + fill_;
    fill_ += n;
    for (uint64_t end = n; end > 0;) {
      const uint64_t begin = end > kMoveSlice ? end - kMoveSlice : 0;
      std::memcpy(dest + begin, from.data_.get() + begin, end - begin);
      from.Shrink(begin);
      end = begin;
    }
  }

  const char* Data() const { return data_.get(); }
  char* Data() { return data_.get(); }
  std::string_view View(uint64_t offset, uint32_t length) const {
    return {data_.get() + offset, length};
  }
  /// Bytes added since the last Release (texts and their NULs).
  uint64_t Fill() const { return fill_; }
  uint64_t Capacity() const { return capacity_; }
  void SetStep(uint64_t step) { step_ = step ? step : 1; }

 private:
  static constexpr uint64_t kMoveSlice = 1 << 20;
  /// Grows by whole steps to hold at least `need` bytes.
  void Reserve(uint64_t need) {
    uint64_t capacity = capacity_ + step_;
    while (capacity < need) capacity += step_;
    data_.reset(static_cast<char*>(detail::Grow(data_.release(), capacity)));
    capacity_ = capacity;
  }
  void Shrink(uint64_t fill) {
    if (fill == 0) return Release();
    data_.reset(static_cast<char*>(detail::Grow(data_.release(), fill)));
    fill_ = capacity_ = fill;
  }

  std::unique_ptr<char, detail::TFree> data_;
  uint64_t fill_ = 0;
  uint64_t capacity_ = 0;
  uint64_t step_;
};

}  // namespace twn
