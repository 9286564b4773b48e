#include "platform/listing.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <cerrno>

namespace twn::platform {
namespace {

constexpr size_t kBufferSize = 64 * 1024;

// The kernel's record of getdents64.
struct TKernelDirent {
  uint64_t d_ino;
  int64_t d_off;
  unsigned short d_reclen;
  unsigned char d_type;
  char d_name[];
};

bool IsDotOrDotDot(const char* name) {
  return name[0] == '.' && (name[1] == 0 || (name[1] == '.' && name[2] == 0));
}

}  // namespace

TDirLister::TDirLister(bool folder_details) : folder_details_(folder_details) {}

bool TDirLister::Open(const char* path) {
  Close();
  // Taken on first use and left uninitialised: every job object holds a lister, and most
  // never list anything.
  if (!buffer_) buffer_ = std::make_unique_for_overwrite<char[]>(kBufferSize);
  error_ = 0;
  fd_ = TUniqueFd(::open(path, O_RDONLY | O_DIRECTORY | O_CLOEXEC | O_NOCTTY));
  if (!fd_.Valid()) error_ = errno;
  return fd_.Valid();
}

void TDirLister::Close() {
  fd_.Reset();
  fill_ = pos_ = 0;
}

bool TDirLister::Fill() {
  const long n = ::syscall(SYS_getdents64, fd_.Get(), buffer_.get(), kBufferSize);
  if (n <= 0) {
    if (n < 0) error_ = errno;
    Close();
    return false;
  }
  fill_ = static_cast<size_t>(n);
  pos_ = 0;
  return true;
}

bool TDirLister::Next(TListEntry& entry) {
  for (;;) {
    if (!fd_.Valid()) return false;
    if (pos_ >= fill_ && !Fill()) return false;
    const auto* d = reinterpret_cast<const TKernelDirent*>(buffer_.get() + pos_);
    pos_ += d->d_reclen;
    const char* name = d->d_name;
    unsigned char type = d->d_type;
    entry.name = std::string_view(name);
    entry.size = 0;
    entry.last_write = 0;
    if (type == DT_DIR && (!folder_details_ || IsDotOrDotDot(name))) {
      entry.attributes = AttributesFromMode(S_IFDIR | S_IWUSR, entry.name);
      return true;
    }
    if (type != DT_REG && type != DT_DIR && type != DT_UNKNOWN) continue;  // links, devices, ...
    struct stat st {};
    // The entry may vanish or be replaced by a link between listing and query: skip it then.
    if (::fstatat(fd_.Get(), name, &st, AT_SYMLINK_NOFOLLOW) != 0) continue;
    if (!S_ISREG(st.st_mode) && !S_ISDIR(st.st_mode)) continue;
    entry.attributes = AttributesFromMode(st.st_mode, entry.name);
    if (S_ISREG(st.st_mode)) {
      entry.size = static_cast<uint64_t>(st.st_size);
      entry.last_write = FileTimeFromUnix(st.st_mtim.tv_sec, st.st_mtim.tv_nsec);
    } else if (folder_details_) {
      entry.last_write = FileTimeFromUnix(st.st_mtim.tv_sec, st.st_mtim.tv_nsec);
    } else {
      entry.attributes = AttributesFromMode(S_IFDIR | S_IWUSR, entry.name);
    }
    return true;
  }
}

}  // namespace twn::platform
