#pragma once
// Reaching files and folders below a pair's root without following a symbolic link. The root
// is opened as the user gave it (it may be a link: the user's choice); every folder below it is
// opened one component at a time with O_NOFOLLOW | O_DIRECTORY, and the operations then act on
// the last name relative to that folder's descriptor (openat, mkdirat, unlinkat, renameat,
// fstatat with AT_SYMLINK_NOFOLLOW). Paths of any length work: no call sees more than the root
// or one name. Errors are errno values (0 = success).
#include <cstddef>
#include <string>
#include <string_view>

#include "platform/fs.h"
#include "platform/unique_fd.h"

namespace twn::platform {

/// A path and how much of it is the root folder: the first `root_length` bytes (ending with
/// the separator) are opened as given, every component after them without following a link.
struct TRootedPath {
  std::string_view path;
  size_t root_length = 0;
};

/// The folder part (up to and including the last separator) and the last name of a path; one
/// trailing separator is dropped first, so a folder path yields its parent and its own name.
struct TSplitPath {
  TRootedPath folder;
  std::string_view name;
};
TSplitPath SplitLast(TRootedPath path);

/// Opens folders below a root and keeps the last one open, so that many operations in one
/// folder walk its path once; a folder below the kept one is reached from it.
class TFolderWalker {
 public:
  /// `fd` receives a descriptor (O_PATH) of the folder, valid until the next call or the
  /// walker's end. A folder that is the root or lies above it is opened as given. A link, a
  /// file or anything but a folder at a component below the root answers ENOTDIR; a component
  /// "." or ".." answers EINVAL.
  TError Open(TRootedPath folder, int& fd) { return Walk(folder, fd, nullptr); }

  /// Open, creating every missing folder on the way (mode 0777 less the umask), upper first;
  /// the missing levels of the root itself are created as given, links followed. `raced` is
  /// set to EEXIST when a level appeared between the look and the creation (no failure).
  TError Force(TRootedPath folder, int& fd, TError& raced) { return Walk(folder, fd, &raced); }

  /// Closes the kept folder.
  void Forget();

 private:
  TError Walk(TRootedPath folder, int& fd, TError* create);
  /// Opens the root (or a folder above it) as given, creating its missing levels on request.
  TError OpenAsGiven(std::string_view folder, TError* create, TUniqueFd& out) const;
  /// Keeps `fd` as the folder `path` (a prefix of some walked path, separator-ended).
  void Keep(std::string_view path, size_t root_length, TUniqueFd fd);

  std::string path_;  // ends with the separator (empty: the current folder)
  size_t root_length_ = 0;
  TUniqueFd fd_;
};

}  // namespace twn::platform
