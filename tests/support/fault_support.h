#pragma once
// Ways to make file operations fail for real while the tests run as root, whom permission bits
// do not stop: limits and mounts confined to a child process, and the immutable attribute.
#include <functional>
#include <string>
#include <vector>

namespace twn::test {

/// Runs `body` in a forked child and returns the text it produced ("" = all well). A child
/// that dies without answering yields a text saying so.
std::string RunInChild(const std::function<std::string()>& body);

/// The user and group "nobody": what a child takes on to meet permission bits as a user would.
inline constexpr unsigned kNobody = 65534;

/// RunInChild, with the child dropping root for `kNobody` before `body` runs. Whatever the body
/// must reach has to be open to that user.
std::string RunAsNobody(const std::function<std::string()>& body);

/// Sets or clears the immutable attribute (nothing may be created, renamed or removed in an
/// immutable folder, even by root). False when the file system or the process cannot.
bool SetImmutable(const std::string& path, bool on);

/// Sets the immutable attribute on each path for the object's lifetime; ok() is false when the
/// file system or the process cannot (tests then skip).
class ScopedImmutable {
 public:
  explicit ScopedImmutable(std::vector<std::string> paths);
  ~ScopedImmutable();
  ScopedImmutable(const ScopedImmutable&) = delete;
  ScopedImmutable& operator=(const ScopedImmutable&) = delete;
  bool ok() const { return ok_; }

 private:
  std::vector<std::string> paths_;
  bool ok_ = true;
};

/// For a child of RunInChild: writes past `bytes` fail with EFBIG instead of raising SIGXFSZ,
/// standing in for a full disk. False when the limit cannot be set.
bool CapFileSize(unsigned long bytes);

/// Removes `name` below the folder `parent` (a descriptor, or AT_FDCWD) with all it holds,
/// one folder at a time, so trees deeper than PATH_MAX go too.
void RemoveTreeAt(int parent, const std::string& name);

/// Names in a folder (not "." or ".."), sorted.
std::vector<std::string> ListNames(const std::string& folder);

}  // namespace twn::test
