// walk: the least a single-thread scan must do, as a yardstick for the engine's scanner.
//
//   walk TREE...
//
// Lists every tree breadth-first with opendir/readdir and one fstatat per entry (links not
// followed), keeping full folder paths as the scanner does, and prints what it found. Links,
// sockets, FIFOs and devices are skipped like the scanner skips them.
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <deque>
#include <memory>
#include <string>

namespace {

struct TCounts {
  uint64_t files = 0, folders = 0, bytes = 0, unreadable = 0;
};

struct TDirCloser {
  void operator()(DIR* d) const { ::closedir(d); }
};

/// Lists one folder: counts its files and queues its subfolders (path ending with '/').
void ListFolder(const std::string& path, std::deque<std::string>& queue, TCounts& counts) {
  std::unique_ptr<DIR, TDirCloser> dir(::opendir(path.c_str()));
  if (!dir) {
    ++counts.unreadable;
    return;
  }
  int fd = ::dirfd(dir.get());
  while (const dirent* e = ::readdir(dir.get())) {
    const char* name = e->d_name;
    if (name[0] == '.' && (name[1] == 0 || (name[1] == '.' && name[2] == 0))) continue;
    struct stat st;
    if (::fstatat(fd, name, &st, AT_SYMLINK_NOFOLLOW) != 0) continue;
    if (S_ISDIR(st.st_mode)) {
      ++counts.folders;
      queue.push_back(path + name + '/');
    } else if (S_ISREG(st.st_mode)) {
      ++counts.files;
      counts.bytes += static_cast<uint64_t>(st.st_size);
    }
  }
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2 || argv[1][0] == '-') {
    std::fprintf(stderr,
                 "usage: walk TREE...\n  counts the files, folders and bytes below each TREE\n");
    return 2;
  }
  TCounts counts;
  std::deque<std::string> queue;
  for (int i = 1; i < argc; ++i) {
    std::string root = argv[i];
    if (root.back() != '/') root += '/';
    struct stat st;
    int error = ::stat(root.c_str(), &st) != 0 ? errno : S_ISDIR(st.st_mode) ? 0 : ENOTDIR;
    if (error != 0) {
      std::fprintf(stderr, "walk: %s: %s\n", argv[i], std::strerror(error));
      return 1;
    }
    queue.push_back(root);
    while (!queue.empty()) {
      ListFolder(queue.front(), queue, counts);
      queue.pop_front();
    }
  }
  std::printf("walk: %llu files, %llu folders, %llu bytes",
              static_cast<unsigned long long>(counts.files),
              static_cast<unsigned long long>(counts.folders),
              static_cast<unsigned long long>(counts.bytes));
  if (counts.unreadable > 0)
    std::printf(", %llu folders unreadable", static_cast<unsigned long long>(counts.unreadable));
  std::printf("\n");
  return 0;
}
