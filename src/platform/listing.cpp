#include "platform/listing.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <string>

#include "platform/below_root.h"

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

constexpr unsigned kStatxFields = STATX_TYPE | STATX_MODE | STATX_SIZE | STATX_MTIME;

constexpr int kFolderFlags = O_RDONLY | O_DIRECTORY | O_CLOEXEC | O_NOCTTY;

}  // namespace

TUniqueFd OpenFolder(const std::string& text, bool follow_last, TError& error) {
  const int last_flags = kFolderFlags | (follow_last ? 0 : O_NOFOLLOW);
  if (text.size() < PATH_MAX) {
    TUniqueFd fd(::open(text.c_str(), last_flags));
    error = fd.Valid() ? 0 : errno;
    return fd;
  }
  // Too long for one call: the leading part that fits is opened as any path is, the rest a
  // folder at a time. Those folders were listed as folders, so a link found among them now is
  // refused.
  size_t cut = text.rfind(kSep, PATH_MAX - 1);
  if (cut == 0 || cut == std::string::npos) cut = text.find(kSep, 1);
  if (cut == std::string::npos) {
    error = ENAMETOOLONG;
    return TUniqueFd();
  }
  TFolderWalker walker;
  int folder = -1;
  error = walker.Open({text, cut + 1}, folder);
  if (error != 0) return TUniqueFd();
  TUniqueFd fd(::openat(folder, ".", kFolderFlags));
  error = fd.Valid() ? 0 : errno;
  return fd;
}

TDirLister::TDirLister(bool folder_details) : folder_details_(folder_details) {}

bool TDirLister::Open(std::string_view path, bool follow_last) {
  Close();
  // Taken on first use and left uninitialised: every job object holds a lister, and most
  // never list anything.
  if (!buffer_) buffer_ = std::make_unique_for_overwrite<char[]>(kBufferSize);
  error_ = 0;
  // A trailing separator would make open() follow a link at the end; the copy is kept so that
  // opening a folder allocates nothing.
  path_.assign(path);
  while (path_.size() > 1 && path_.back() == kSep) path_.pop_back();
  fd_ = OpenFolder(path_, follow_last, error_);
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

bool TDirLister::Other(TListEntry& entry) {
  entry.attributes = 0;
  entry.other = true;
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
    entry.other = false;
    entry.link = false;
    entry.size = 0;
    entry.last_write = 0;
    if (type == DT_DIR && (!folder_details_ || IsDotOrDotDot(name))) {
      entry.attributes = AttributesFromMode(S_IFDIR | S_IWUSR, entry.name);
      return true;
    }
    const bool kept_link = links_ && type == DT_LNK;
    if (type != DT_REG && type != DT_DIR && type != DT_UNKNOWN && !kept_link) return Other(entry);
    // Only the fields a listing gives: the kernel skips the rest.
    struct statx st {};
    if (::statx(fd_.Get(), name, AT_SYMLINK_NOFOLLOW, kStatxFields, &st) != 0) {
      if (errno == ENOENT) continue;  // gone between listing and query
      error_ = errno;
      Close();
      return false;
    }
    const mode_t mode = st.stx_mode;
    entry.link = links_ && S_ISLNK(mode);
    if (!S_ISREG(mode) && !S_ISDIR(mode) && !entry.link) return Other(entry);
    entry.attributes = AttributesFromMode(mode, entry.name);
    const TFileTime mtime = FileTimeFromUnix(st.stx_mtime.tv_sec, st.stx_mtime.tv_nsec);
    if (S_ISREG(mode) || entry.link) {
      entry.size = st.stx_size;
      entry.last_write = mtime;
    } else if (folder_details_) {
      entry.last_write = mtime;
    } else {
      entry.attributes = AttributesFromMode(S_IFDIR | S_IWUSR, entry.name);
    }
    return true;
  }
}

TError TDirLister::ReadLink(const TListEntry& entry, char* buffer, size_t capacity,
                            size_t& length) const {
  length = 0;
  // The name points into the listing's buffer, where the kernel ends it with a NUL.
  const ssize_t n = ::readlinkat(fd_.Get(), entry.name.data(), buffer, capacity);
  if (n < 0) return errno;
  if (static_cast<size_t>(n) >= capacity) return ENAMETOOLONG;  // perhaps cut short
  length = static_cast<size_t>(n);
  return 0;
}

TError TDirLister::FolderStatus(TCarriedStatus& status) const {
  struct stat st {};
  if (::fstat(fd_.Get(), &st) != 0) return errno;
  status = {FileTimeFromUnix(st.st_mtim.tv_sec, st.st_mtim.tv_nsec), st.st_mode & 07777u, st.st_uid,
            st.st_gid};
  return 0;
}

}  // namespace twn::platform
