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

/// Removes `name` below the folder `parent` (a descriptor, or AT_FDCWD) with all it holds,
/// one folder at a time, so trees deeper than PATH_MAX go too.
void RemoveTreeAt(int parent, const std::string& name);

/// Names in a folder (not "." or ".."), sorted.
std::vector<std::string> ListNames(const std::string& folder);

}  // namespace twn::test
