#include "run/file_ops.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>

#include "platform/unique_fd.h"

namespace twn {

using platform::TError;
using platform::TUniqueFd;

namespace {

// One copy, step by step. Every failure records its error and the side it belongs to.
class TFileCopy {
 public:
  TFileCopy(const std::string& source, const std::string& target, std::span<char> buffer,
            TCopyObserver& observer)
      : source_(source), target_(target), buffer_(buffer), observer_(observer) {}
  ~TFileCopy() {
    if (!temp_path_.empty()) ::unlink(temp_path_.c_str());
  }
  TFileCopy(const TFileCopy&) = delete;
  TFileCopy& operator=(const TFileCopy&) = delete;

  TCopyOutcome Run(int64_t& byte_count, int64_t& bytes_done);

 private:
  bool Fail(TError error, bool on_source) {
    outcome_.error = error;
    outcome_.on_source = on_source;
    return false;
  }
  bool Stopped() {
    outcome_.stopped = observer_.StopRequested();
    return outcome_.stopped;
  }
  bool OpenSource();
  bool CreateTemp();
  bool CopyData(int64_t& byte_count, int64_t& bytes_done);
  /// Plain read and write of one block; returns the bytes moved, -1 after a failure.
  ssize_t CopyBlock();
  bool Complete();

  const std::string& source_;
  const std::string& target_;
  std::span<char> buffer_;
  TCopyObserver& observer_;
  TUniqueFd src_;
  TUniqueFd tmp_;
  struct stat st_ {};
  std::string temp_path_;
  TCopyOutcome outcome_;
};

TCopyOutcome TFileCopy::Run(int64_t& byte_count, int64_t& bytes_done) {
  const int64_t restart = bytes_done + byte_count;
  byte_count = 0;
  bool ok = OpenSource() && !Stopped();
  if (ok) {
    observer_.ThrottledRefresh();
    ok = CreateTemp() && !Stopped() && CopyData(byte_count, bytes_done) && Complete();
  }
  if (!ok) {
    // The progress position moves past the whole file, as if it had been copied.
    byte_count = 0;
    bytes_done = restart;
  }
  return outcome_;
}

bool TFileCopy::OpenSource() {
  // O_NONBLOCK: a FIFO put in a file's place after the scan must not hang the run.
  src_ = TUniqueFd(::open(source_.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK));
  if (!src_.Valid() || ::fstat(src_.Get(), &st_) != 0) return Fail(errno, true);
  if (!S_ISREG(st_.st_mode)) return Fail(S_ISDIR(st_.st_mode) ? EISDIR : EINVAL, true);
  ::posix_fadvise(src_.Get(), 0, 0, POSIX_FADV_SEQUENTIAL);
  return true;
}

bool TFileCopy::CreateTemp() {
  struct stat st {};
  if (::lstat(target_.c_str(), &st) == 0 && S_ISDIR(st.st_mode)) return Fail(EISDIR, false);
  const size_t slash = target_.rfind(platform::kSep);
  temp_path_ = (slash == std::string::npos ? std::string() : target_.substr(0, slash + 1)) +
               std::string(platform::kCopyTempPrefix) + "XXXXXX";
  const int fd = ::mkostemp(temp_path_.data(), O_CLOEXEC);
  if (fd < 0) {
    temp_path_.clear();
    return Fail(errno, false);
  }
  tmp_ = TUniqueFd(fd);
  return true;
}

bool TFileCopy::CopyData(int64_t& byte_count, int64_t& bytes_done) {
  bool in_kernel = true;
  for (;;) {
    ssize_t n;
    if (in_kernel) {
      n = ::copy_file_range(src_.Get(), nullptr, tmp_.Get(), nullptr, kCopyBlockSize, 0);
      // On any refusal the plain path repeats the step at the same offsets and names the side
      // of a real error; an early 0 may come from a file system that cannot do it.
      if (n < 0 || (n == 0 && byte_count < st_.st_size)) {
        in_kernel = false;
        continue;
      }
    } else {
      n = CopyBlock();
      if (n < 0) return false;
    }
    if (n == 0) return true;
    byte_count += n;
    bytes_done += n;
    observer_.ThrottledRefresh();
    if (Stopped()) return false;
  }
}

ssize_t TFileCopy::CopyBlock() {
  const size_t want = std::min(kCopyBlockSize, buffer_.size());
  ssize_t n;
  do n = ::read(src_.Get(), buffer_.data(), want);
  while (n < 0 && errno == EINTR);
  if (n < 0) return Fail(errno, true), -1;
  for (ssize_t done = 0; done < n;) {
    const ssize_t w = ::write(tmp_.Get(), buffer_.data() + done, static_cast<size_t>(n - done));
    if (w < 0 && errno == EINTR) continue;
    if (w <= 0) return Fail(w < 0 ? errno : ENOSPC, false), -1;
    done += w;
  }
  return n;
}

bool TFileCopy::Complete() {
  const timespec times[2] = {st_.st_atim, st_.st_mtim};
  if (::futimens(tmp_.Get(), times) != 0) return Fail(errno, false);
  if (::fchmod(tmp_.Get(), st_.st_mode & 07777) != 0) return Fail(errno, false);
  if (const TError e = tmp_.Close()) return Fail(e, false);
  if (const TError e = src_.Close()) return Fail(e, true);
  if (::rename(temp_path_.c_str(), target_.c_str()) != 0) return Fail(errno, false);
  temp_path_.clear();
  return true;
}

}  // namespace

TCopyOutcome CopyOneFile(const std::string& source, const std::string& target,
                         std::span<char> buffer, int64_t& byte_count, int64_t& bytes_done,
                         TCopyObserver& observer) {
  return TFileCopy(source, target, buffer, observer).Run(byte_count, bytes_done);
}

TError DeleteOneFile(const std::string& path, int64_t& size) {
  size = 0;
  struct stat st {};
  if (::lstat(path.c_str(), &st) != 0) return errno;
  if (::unlink(path.c_str()) != 0) return errno;
  if (S_ISREG(st.st_mode)) size = st.st_size;
  return 0;
}

TError RemoveOneFolder(const std::string& path) {
  return ::rmdir(path.c_str()) == 0 ? 0 : errno;
}

TForceResult ForceFolders(const std::string& path) {
  const std::string full = platform::IncludeTrailingSeparator(path);
  TForceResult result;
  for (size_t end = full.find(platform::kSep); end != std::string::npos;
       end = full.find(platform::kSep, end + 1)) {
    const std::string prefix = full.substr(0, end + 1);
    if (platform::GetAttributes(prefix) != platform::kInvalidAttributes) continue;
    if (::mkdir(prefix.c_str(), 0777) != 0) {
      result.error = errno;
      if (result.error != EEXIST) result.ok = false;
    }
  }
  return result;
}

}  // namespace twn
