#include "support/test_support.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <climits>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace twn::test {

TempDir::TempDir() {
  const char* base = std::getenv("TMPDIR");
  std::string tmpl = std::string(base && *base ? base : "/tmp") + "/twn-test-XXXXXX";
  if (!mkdtemp(tmpl.data())) throw std::runtime_error("mkdtemp failed");
  path_ = tmpl;
}

TempDir::~TempDir() {
  // Tests may leave folders without write or execute permission; give them back first.
  std::error_code ec;
  for (auto it = std::filesystem::recursive_directory_iterator(
           path_, std::filesystem::directory_options::skip_permission_denied, ec);
       it != std::filesystem::recursive_directory_iterator(); it.increment(ec)) {
    if (it->is_directory(ec) && !it->is_symlink(ec)) ::chmod(it->path().c_str(), 0700);
  }
  ::chmod(path_.c_str(), 0700);
  std::filesystem::remove_all(path_, ec);
}

std::string TempDir::operator/(std::string_view rel) const {
  return path_ + "/" + std::string(rel);
}

void MakeDirs(const std::string& path) {
  std::error_code ec;
  std::filesystem::create_directories(path, ec);
  ASSERT_FALSE(ec) << "cannot create " << path << ": " << ec.message();
}

void WriteFile(const std::string& path, std::string_view content) {
  auto parent = std::filesystem::path(path).parent_path();
  if (!parent.empty()) MakeDirs(parent.string());
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  ASSERT_TRUE(out) << "cannot write " << path;
  out.write(content.data(), static_cast<std::streamsize>(content.size()));
}

void Put(const std::string& path, std::string_view content, int64_t unix_seconds) {
  WriteFile(path, content);
  SetMTime(path, unix_seconds);
}

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream ss;
  ss << in.rdbuf();
  return ss.str();
}

std::string ReadLink(const std::string& path) {
  std::string text(PATH_MAX, '\0');
  const ssize_t n = readlink(path.c_str(), text.data(), text.size());
  text.resize(n < 0 ? 0 : size_t(n));
  return text;
}

void SetMTime(const std::string& path, int64_t unix_seconds, long nanoseconds) {
  timespec ts[2];
  ts[0].tv_sec = ts[1].tv_sec = static_cast<time_t>(unix_seconds);
  ts[0].tv_nsec = ts[1].tv_nsec = nanoseconds;
  ASSERT_EQ(0, ::utimensat(AT_FDCWD, path.c_str(), ts, AT_SYMLINK_NOFOLLOW)) << path;
}

ScopedTimeZone::ScopedTimeZone(const char* tz) {
  if (const char* old = std::getenv("TZ")) old_ = old;
  ::setenv("TZ", tz, 1);
  ::tzset();
}

ScopedTimeZone::~ScopedTimeZone() {
  old_ ? ::setenv("TZ", old_->c_str(), 1) : ::unsetenv("TZ");
  ::tzset();
}

ScopedEnv::ScopedEnv(const char* name, const char* value) : name_(name) {
  if (const char* old = std::getenv(name)) old_ = old;
  value ? ::setenv(name, value, 1) : ::unsetenv(name);
}

ScopedEnv::~ScopedEnv() { old_ ? ::setenv(name_, old_->c_str(), 1) : ::unsetenv(name_); }

}  // namespace twn::test
