#include "platform/read_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>

#include "platform/unique_fd.h"

namespace twn::platform {

namespace {

constexpr size_t kChunk = 64 * 1024;

// Reads until end of file or `cap` bytes; one byte more tells whether the file went on.
TError ReadUpTo(int fd, size_t cap, TFileText& out) {
  for (;;) {
    const size_t used = out.bytes.size();
    const size_t want = std::min(kChunk, cap + 1 - used);
    out.bytes.resize(used + want);
    const ssize_t n = ::read(fd, out.bytes.data() + used, want);
    out.bytes.resize(used + static_cast<size_t>(std::max<ssize_t>(n, 0)));
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return errno;
    if (out.bytes.size() > cap) {
      out.bytes.resize(cap);
      out.cut = true;
      return 0;
    }
    if (n == 0) return 0;
  }
}

}  // namespace

TError ReadRegularFile(const std::string& path, size_t cap, TFileText& out) {
  out = TFileText();
  // O_NONBLOCK: opening a FIFO for reading would otherwise wait for a writer.
  TUniqueFd fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
  if (!fd.Valid()) return errno;
  struct stat st {};
  if (::fstat(fd.Get(), &st) != 0) return errno;
  if (!S_ISREG(st.st_mode)) return S_ISDIR(st.st_mode) ? EISDIR : EINVAL;
  out.modified = DateTimeFromUnix(st.st_mtime);
  out.bytes.reserve(std::min(cap, static_cast<size_t>(st.st_size)) + 1);
  if (const TError e = ReadUpTo(fd.Get(), cap, out)) {
    out = TFileText();
    return e;
  }
  return 0;
}

}  // namespace twn::platform
