#pragma once
// Helpers shared by the test programs: scratch folders, file creation with explicit times,
// and pinning of the process's time zone.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace twn::test {

/// A fresh folder under the system's temporary folder, removed with all its contents on
/// destruction. Paths returned end without a separator.
class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;
  const std::string& path() const { return path_; }
  /// path() + "/" + rel
  std::string operator/(std::string_view rel) const;

 private:
  std::string path_;
};

/// Writes `content` to `path`, creating missing parent folders. Aborts the test on failure.
void WriteFile(const std::string& path, std::string_view content);
/// WriteFile, then the last-write time (2001 unless given).
void Put(const std::string& path, std::string_view content = "x",
         int64_t unix_seconds = 1'000'000'000);
/// Reads a whole file; empty when it cannot be read.
std::string ReadFile(const std::string& path);
/// The target text of a symbolic link; empty when it is none.
std::string ReadLink(const std::string& path);
/// Sets last-access and last-write time to the given Unix time (seconds + nanoseconds).
void SetMTime(const std::string& path, int64_t unix_seconds, long nanoseconds = 0);
/// Creates a folder and its missing parents.
void MakeDirs(const std::string& path);

/// Sets TZ for the lifetime of the object and restores the previous value afterwards.
class ScopedTimeZone {
 public:
  explicit ScopedTimeZone(const char* tz);
  ~ScopedTimeZone();
  ScopedTimeZone(const ScopedTimeZone&) = delete;
  ScopedTimeZone& operator=(const ScopedTimeZone&) = delete;

 private:
  std::optional<std::string> old_;
};

/// Sets (or, with null, removes) an environment variable for the lifetime of the object.
class ScopedEnv {
 public:
  ScopedEnv(const char* name, const char* value);
  ~ScopedEnv();
  ScopedEnv(const ScopedEnv&) = delete;
  ScopedEnv& operator=(const ScopedEnv&) = delete;

 private:
  const char* name_;
  std::optional<std::string> old_;
};

}  // namespace twn::test
