#include "platform/fs.h"

#include <fcntl.h>
#include <sys/random.h>
#include <sys/stat.h>
#include <sys/vfs.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <iterator>

namespace twn::platform {

std::string RandomName(size_t count) {
  std::string name;
  while (name.size() < count) {
    uint64_t bits = 0;
    if (::getrandom(&bits, sizeof bits, GRND_NONBLOCK) != ssize_t(sizeof bits)) {
      static std::atomic<uint64_t> counter{0};
      timespec now{};
      ::clock_gettime(CLOCK_REALTIME, &now);
      bits = uint64_t(now.tv_nsec) ^ (uint64_t(now.tv_sec) << 30) ^ (uint64_t(::getpid()) << 48) ^
             (++counter * 0x9E3779B97F4A7C15ull);
      bits = (bits ^ (bits >> 30)) * 0xBF58476D1CE4E5B9ull;
      bits = (bits ^ (bits >> 27)) * 0x94D049BB133111EBull;
    }
    for (int i = 0; i < 8 && name.size() < count; ++i, bits >>= 8)
      name += kRandomNameAlphabet[(bits & 0xFF) % kRandomNameAlphabet.size()];
  }
  return name;
}

bool IsCopyTempName(std::string_view name) {
  return name.size() == kCopyTempPrefix.size() + kCopyTempRandomLength &&
         name.starts_with(kCopyTempPrefix) &&
         name.find_first_not_of(kRandomNameAlphabet, kCopyTempPrefix.size()) ==
             std::string_view::npos;
}

uint32_t AttributesFromMode(uint32_t st_mode, std::string_view name) {
  uint32_t attr = 0;
  if (S_ISDIR(st_mode))
    attr |= kAttrDirectory;
  else if (S_ISREG(st_mode))
    attr |= kAttrArchive;
  else if (S_ISLNK(st_mode))
    return kAttrLink | (!name.empty() && name[0] == '.' ? kAttrHidden : 0);
  if (!(st_mode & S_IWUSR)) attr |= kAttrReadOnly;
  if (!name.empty() && name[0] == '.' && name != "." && name != "..") attr |= kAttrHidden;
  return attr ? attr : kAttrNormal;
}

uint32_t GetAttributes(const std::string& path) {
  struct stat st {};
  if (::lstat(path.c_str(), &st) != 0) return kInvalidAttributes;
  return AttributesFromMode(st.st_mode, LastComponent(path));
}

TError SetAttributes(const std::string& path, uint32_t attributes) {
  struct stat st {};
  if (::stat(path.c_str(), &st) != 0) return errno;
  mode_t mode = st.st_mode & 07777;
  if (attributes & kAttrReadOnly)
    mode &= ~static_cast<mode_t>(S_IWUSR);
  else
    mode |= S_IWUSR;
  if (mode == (st.st_mode & 07777)) return 0;
  return ::chmod(path.c_str(), mode) == 0 ? 0 : errno;
}

bool FileExists(const std::string& path) {
  struct stat st {};
  return ::stat(path.c_str(), &st) == 0 && !S_ISDIR(st.st_mode);
}

bool DirectoryExists(const std::string& path) {
  struct stat st {};
  return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

TError DeleteFile(const std::string& path) {
  return ::unlink(path.c_str()) == 0 ? 0 : errno;
}

bool IsSlowFileSystemType(int64_t type) {
  static constexpr int64_t kSlow[] = {
      0x6969,      // NFS
      0x517B,      // SMB
      0xFF534D42,  // CIFS
      0xFE534D42,  // SMB2
      0x65735546,  // FUSE (sshfs, rclone and the like)
      0x01021997,  // 9P
      0x5346414F,  // AFS
      0x73757245,  // Coda
      0x00C36400,  // Ceph
      0x564C,      // NCP
      0x9660,      // ISO 9660
      0x15013346,  // UDF
  };
  return std::find(std::begin(kSlow), std::end(kSlow), type) != std::end(kSlow);
}

bool OnSlowFileSystem(const std::string& path) {
  std::string probe = path;
  struct statfs fs {};
  while (::statfs(probe.c_str(), &fs) != 0) {
    while (probe.size() > 1 && probe.back() == kSep) probe.pop_back();
    const size_t slash = probe.rfind(kSep);
    if (probe.size() <= 1 || slash == std::string::npos) return false;
    probe.resize(slash + 1);
  }
  return IsSlowFileSystemType(static_cast<int64_t>(fs.f_type));
}

std::string ErrorText(TError error) {
  char buf[256];
  // GNU strerror_r returns the message, which may or may not be in buf.
  const char* text = strerror_r(error, buf, sizeof buf);
  return text ? text : "Unknown error";
}

std::string RealPath(std::string_view path) {
  std::string head(path);
  while (head.size() > 1 && head.back() == kSep) head.pop_back();
  std::string tail;
  for (;;) {
    if (char* real = ::realpath(head.empty() ? "/" : head.c_str(), nullptr)) {
      std::string out(real);
      std::free(real);
      if (!tail.empty()) out += (out == "/" ? "" : "/") + tail;
      return out;
    }
    const size_t slash = head.rfind(kSep);
    if (slash == std::string::npos) return std::string(path);  // a relative name
    const std::string name = head.substr(slash + 1);
    tail = tail.empty() ? name : name + kSep + tail;
    head.resize(slash);
  }
}

std::string_view PathBelow(std::string_view inner, std::string_view outer) {
  if (outer == "/") return inner.size() > 1 ? inner.substr(1) : std::string_view();
  if (inner.size() <= outer.size() + 1 || !inner.starts_with(outer) || inner[outer.size()] != kSep)
    return {};
  return inner.substr(outer.size() + 1);
}

std::string_view ParentFolder(std::string_view path) {
  const size_t slash = path.rfind(kSep);
  return slash == std::string_view::npos ? std::string_view() : path.substr(0, slash + 1);
}

std::string_view LastComponent(std::string_view path) {
  if (path.size() > 1 && path.back() == kSep) path.remove_suffix(1);
  const size_t pos = path.rfind(kSep);
  return pos == std::string_view::npos ? path : path.substr(pos + 1);
}

std::string IncludeTrailingSeparator(std::string_view path) {
  std::string out(path);
  if (out.empty() || out.back() != kSep) out += kSep;
  return out;
}

std::string ExcludeTrailingSeparator(std::string path) {
  while (path.size() > 1 && path.back() == kSep) path.pop_back();
  return path;
}

}  // namespace twn::platform
