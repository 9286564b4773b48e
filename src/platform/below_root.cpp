#include "platform/below_root.h"

#include <fcntl.h>
#include <sys/stat.h>

#include <algorithm>
#include <cerrno>

namespace twn::platform {

namespace {

constexpr int kFolderFlags = O_PATH | O_DIRECTORY | O_CLOEXEC;

/// `kept` (separator-ended) names the same folder as `path`, which may lack the separator.
bool SameFolder(std::string_view path, std::string_view kept) {
  return path == kept || (path.size() + 1 == kept.size() && kept.starts_with(path));
}

}  // namespace

TSplitPath SplitLast(TRootedPath path) {
  std::string_view p = path.path;
  if (p.size() > 1 && p.back() == kSep) p.remove_suffix(1);
  const size_t slash = p.rfind(kSep);
  if (slash == std::string_view::npos) return {{std::string_view(), 0}, p};
  return {{p.substr(0, slash + 1), std::min(path.root_length, slash + 1)}, p.substr(slash + 1)};
}

void TFolderWalker::Forget() {
  fd_.Reset();
  path_.clear();
  root_length_ = 0;
}

void TFolderWalker::Keep(std::string_view path, size_t root_length, TUniqueFd fd) {
  path_.assign(path);
  if (!path_.empty() && path_.back() != kSep) path_ += kSep;
  root_length_ = root_length;
  fd_ = std::move(fd);
}

TError TFolderWalker::OpenAsGiven(std::string_view folder, TError* create, TUniqueFd& out) const {
  const std::string path = folder.empty() ? std::string(".") : std::string(folder);
  out = TUniqueFd(::open(path.c_str(), kFolderFlags));
  if (out.Valid()) return 0;
  if (errno != ENOENT || !create) return errno;
  // The user's own path: every missing level is created, links on the way followed.
  const std::string full = IncludeTrailingSeparator(path);
  TError failed = 0;
  for (size_t end = full.find(kSep); end != std::string::npos; end = full.find(kSep, end + 1)) {
    const std::string prefix = full.substr(0, end + 1);
    if (GetAttributes(prefix) != kInvalidAttributes || ::mkdir(prefix.c_str(), 0777) == 0) continue;
    if (errno == EEXIST)
      *create = EEXIST;
    else
      failed = errno;
  }
  out = TUniqueFd(::open(path.c_str(), kFolderFlags));
  if (out.Valid()) return 0;
  return failed ? failed : errno;
}

TError TFolderWalker::Walk(TRootedPath folder, int& fd, TError* create) {
  fd = -1;
  const std::string_view path = folder.path;
  if (path.empty()) return ENOENT;
  size_t root_length = std::min(folder.root_length, path.size());
  if (root_length == 0 && path.front() == kSep) root_length = 1;
  if (fd_.Valid() && root_length_ == root_length && SameFolder(path, path_)) {
    fd = fd_.Get();
    return 0;
  }
  TUniqueFd current;
  size_t pos;
  if (fd_.Valid() && root_length_ == root_length && path_.size() >= root_length &&
      path.starts_with(path_)) {
    // Below the kept folder: on from there.
    current = std::move(fd_);
    pos = path_.size();
  } else {
    if (const TError e = OpenAsGiven(path.substr(0, root_length), create, current)) return e;
    pos = root_length;
  }
  TError error = 0;
  std::string name;
  while (pos < path.size()) {
    const size_t end = std::min(path.find(kSep, pos), path.size());
    name.assign(path.substr(pos, end - pos));
    if (name.empty()) {
      pos = end + 1;
      continue;
    }
    if (name == "." || name == "..") {
      error = EINVAL;
      break;
    }
    int child = ::openat(current.Get(), name.c_str(), kFolderFlags | O_NOFOLLOW);
    if (child < 0 && errno == ENOENT && create) {
      if (::mkdirat(current.Get(), name.c_str(), 0777) != 0) {
        if (errno != EEXIST) {
          error = errno;
          break;
        }
        *create = EEXIST;
      }
      child = ::openat(current.Get(), name.c_str(), kFolderFlags | O_NOFOLLOW);
    }
    if (child < 0) {
      error = errno;
      break;
    }
    current = TUniqueFd(child);
    pos = std::min(end + 1, path.size());
  }
  // What was reached is kept either way: it too lies below the root without a link.
  Keep(path.substr(0, pos), root_length, std::move(current));
  if (error) return error;
  fd = fd_.Get();
  return 0;
}

}  // namespace twn::platform
