// gen-tree: builds a pair of synthetic folder trees for the engine benchmarks.
//
//   gen-tree [--sparse] --seed S --files N OUT_DIR
//
// OUT_DIR/left holds N files in about N/20 folders (depth up to 5, mixed-case names, sizes mostly
// under 16 KiB, a few up to 1 MiB, distinct times spread over nine years). OUT_DIR/right is the
// same tree with 2% of the files changed (bytes and time), 1% deleted, 1% added, plus a few
// folders that exist on one side only and a few empty ones. The same seed and N always give the
// same names, sizes, bytes and times. OUT_DIR/manifest.txt is written last: it records what was
// built (and so the counts a comparison must find), and its presence marks a complete tree.
//
// --sparse gives each file its size by ftruncate instead of writing it, so a million files per
// side take inodes and folders but almost no data blocks. Names, sizes and times stay those of
// the written tree; only the right side of a changed file gets a few real bytes, so that it
// differs in content as well as in time (and, for half of them, size).
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <charconv>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace {

// splitmix64: tiny, fast, and the same sequence on every platform (unlike std distributions).
class TRandom {
 public:
  explicit TRandom(uint64_t seed) : state_(seed) {}
  uint64_t Next() {
    uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
  }
  /// Uniform in [0, n); n > 0.
  uint64_t Below(uint64_t n) { return Next() % n; }
  /// Uniform in [lo, hi).
  uint64_t Between(uint64_t lo, uint64_t hi) { return lo + Below(hi - lo); }
  /// True with the given chance in parts per 10,000.
  bool Chance(uint32_t per_10000) { return Below(10000) < per_10000; }

 private:
  uint64_t state_;
};

class TFd {
 public:
  explicit TFd(int fd = -1) : fd_(fd) {}
  TFd(const TFd&) = delete;
  TFd& operator=(const TFd&) = delete;
  ~TFd() {
    if (fd_ >= 0) ::close(fd_);
  }
  int get() const { return fd_; }
  void Reset(int fd) {
    if (fd_ >= 0) ::close(fd_);
    fd_ = fd;
  }
  /// Closes now so that a failing close (a full disk) can be reported.
  int Close() {
    int rc = ::close(fd_);
    fd_ = -1;
    return rc;
  }

 private:
  int fd_;
};

enum class TKind : uint8_t { kBoth, kLeftOnly, kRightOnly };

struct TFolder {
  std::string rel;  // relative path below the side's root, "" for the root, else ends with '/'
  int depth = 0;
  TKind kind = TKind::kBoth;
  bool empty = false;  // holds no files (on the sides where it exists)
  timespec mtime{};
};

enum class TFate : uint8_t { kSame, kChanged, kDeleted, kAdded };

struct TFile {
  uint32_t folder;
  uint32_t id;  // makes the name unique
  TFate fate;
  uint64_t size, right_size;
  uint32_t offset, right_offset;  // where the bytes come from in the pattern buffer
  timespec mtime, right_mtime;
};

constexpr int kMaxDepth = 5;
constexpr uint64_t kMaxSize = 1 << 20;
constexpr size_t kPatternSize = 2 * kMaxSize;
constexpr int64_t kEpoch2015 = 1420070400;
constexpr int64_t kNineYears = 9LL * 365 * 86400;
/// The real bytes at the start of a changed file's right side in a sparse tree.
constexpr uint64_t kSparseMark = 64;

constexpr std::array<std::string_view, 24> kWords = {
    "report",  "invoice", "photo",   "budget", "notes",     "draft",   "backup", "scan",
    "meeting", "summary", "archive", "letter", "contract",  "project", "music",  "holiday",
    "build",   "config",  "readme",  "data",   "übersicht", "café",    "plan",   "todo"};
constexpr std::array<std::string_view, 20> kExtensions = {
    ".txt", ".pdf", ".jpg", ".JPG", ".docx", ".xlsx", ".png", ".mp3",    ".c",   ".h",
    ".cpp", ".md",  ".zip", ".log", ".html", ".csv",  "",     ".tar.gz", ".ini", ".Json"};

/// Mixed case as people and programs produce it: lower, Title, UPPER, and the odd camelCase.
std::string CaseStyled(std::string_view word, TRandom& rnd) {
  std::string s(word);
  auto upper = [](char& c) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  };
  switch (rnd.Below(8)) {
    case 0:
    case 1:
    case 2:
      break;
    case 3:
    case 4:
    case 5:
      upper(s[0]);
      break;
    case 6:
      std::for_each(s.begin(), s.end(), upper);
      break;
    default:
      upper(s[s.size() / 2]);
      break;
  }
  return s;
}

std::string FileName(const TFile& f, TRandom& rnd) {
  static constexpr std::array<std::string_view, 4> kJoins = {"_", "-", " ", ""};
  std::string name = CaseStyled(kWords[rnd.Below(kWords.size())], rnd);
  name += kJoins[rnd.Below(kJoins.size())];
  name += std::to_string(f.id);
  name += kExtensions[rnd.Below(kExtensions.size())];
  return name;
}

/// Mostly small files (they keep the 400,000-file trees to a few GB); a few larger ones,
/// log-uniform up to 1 MiB.
uint64_t RandomSize(TRandom& rnd) {
  uint64_t r = rnd.Below(10000);
  if (r < 300) return 0;
  if (r < 6500) return rnd.Between(1, 1024);
  if (r < 9000) return rnd.Between(1024, 4096);
  if (r < 9990) return rnd.Between(4096, 16384);
  uint64_t bits = rnd.Between(14, 20);  // 16 KiB .. 1 MiB
  return rnd.Between(uint64_t{1} << bits, (uint64_t{1} << (bits + 1)) + 1);
}

timespec RandomTime(TRandom& rnd) {
  return {static_cast<time_t>(kEpoch2015 + static_cast<int64_t>(rnd.Below(kNineYears))),
          static_cast<long>(rnd.Below(1000000000))};
}

struct TOptions {
  uint64_t seed = 0;
  uint64_t files = 0;
  bool sparse = false;
  std::string out;
};

int Usage(const std::string& problem) {
  std::fprintf(
      stderr,
      "gen-tree: %s\n"
      "usage: gen-tree [--sparse] --seed S --files N OUT_DIR\n"
      "  builds OUT_DIR/left (N files) and OUT_DIR/right (a copy with 2%% changed,\n"
      "  1%% deleted and 1%% added files); OUT_DIR/left and OUT_DIR/right must not exist;\n"
      "  --sparse sizes the files by ftruncate instead of writing their bytes\n",
      problem.c_str());
  return 2;
}

bool ParseNumber(std::string_view text, uint64_t& value) {
  auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
  return ec == std::errc() && end == text.data() + text.size();
}

/// 0 on success, else the exit status after the usage message.
int ParseOptions(int argc, char** argv, TOptions& opt) {
  bool have_seed = false, have_files = false;
  for (int i = 1; i < argc; ++i) {
    std::string_view arg = argv[i];
    if (arg == "--sparse") {
      opt.sparse = true;
    } else if (arg == "--seed" || arg == "--files") {
      if (i + 1 == argc) return Usage("missing value after an option");
      uint64_t& target = arg == "--seed" ? opt.seed : opt.files;
      if (!ParseNumber(argv[++i], target)) return Usage("--seed and --files take whole numbers");
      (arg == "--seed" ? have_seed : have_files) = true;
    } else if (arg.starts_with("-") && arg != "-") {
      return Usage("unknown option " + std::string(arg));
    } else if (!opt.out.empty()) {
      return Usage("more than one OUT_DIR given");
    } else {
      opt.out = arg;
    }
  }
  if (!have_seed || !have_files || opt.out.empty())
    return Usage("--seed, --files and OUT_DIR are required");
  if (opt.files < 1 || opt.files > 20'000'000) return Usage("--files must be 1 to 20000000");
  return 0;
}

class TGenerator {
 public:
  TGenerator(const TOptions& opt) : opt_(opt), rnd_(opt.seed) {}
  int Run();

 private:
  void PlanFolders();
  void AddFolder(uint32_t parent, TKind kind, bool empty);
  uint32_t RandomFolder(const std::vector<uint32_t>& pool) { return pool[rnd_.Below(pool.size())]; }
  void PlanFiles();
  void PlanChange(TFile& f);
  bool MakeRoots();
  bool WriteFolders();
  bool WriteFile(int dir_fd, const std::string& dir, const std::string& name, uint64_t size,
                 uint64_t written, uint32_t offset, timespec mtime);
  /// How many of a file's bytes are really written: all, or in a sparse tree only a few of a
  /// changed file's right side.
  uint64_t Written(uint64_t size, bool changed_right) const {
    if (!opt_.sparse) return size;
    return changed_right ? std::min<uint64_t>(size, kSparseMark) : 0;
  }
  bool Fail(const std::string& path, int error);
  bool SetFolderTimes();
  bool WriteManifest();
  void Progress(uint64_t done);

  const TOptions& opt_;
  TRandom rnd_;
  std::vector<char> pattern_;
  std::vector<TFolder> folders_;
  std::vector<TFile> files_;
  std::string left_, right_;
  uint64_t total_ = 0;
  int last_percent_ = -1;
  // What the manifest reports.
  uint64_t left_files_ = 0, right_files_ = 0, left_bytes_ = 0, right_bytes_ = 0;
  uint64_t left_only_ = 0, right_only_ = 0, left_newer_ = 0, right_newer_ = 0, same_ = 0;
};

void TGenerator::AddFolder(uint32_t parent, TKind kind, bool empty) {
  TFolder f;
  f.depth = folders_[parent].depth + 1;
  f.kind = kind;
  f.empty = empty;
  f.mtime = RandomTime(rnd_);
  f.rel = folders_[parent].rel + CaseStyled(kWords[rnd_.Below(kWords.size())], rnd_) + " (" +
          std::to_string(folders_.size()) + ")/";  // "(" never occurs in a file name
  folders_.push_back(std::move(f));
}

void TGenerator::PlanFolders() {
  uint64_t count = std::max<uint64_t>(1, opt_.files / 20);
  uint64_t few = std::max<uint64_t>(2, count / 500);
  folders_.reserve(count + 6 * few);
  folders_.push_back({});
  folders_[0].mtime = RandomTime(rnd_);
  std::vector<uint32_t> can_have_children = {0};
  for (uint64_t i = 1; i < count; ++i) {
    uint32_t parent = RandomFolder(can_have_children);
    AddFolder(parent, TKind::kBoth, false);
    if (folders_.back().depth < kMaxDepth) can_have_children.push_back(folders_.size() - 1);
  }
  // Folders with files on one side only, and empty folders: on both sides, on one side, and an
  // empty folder inside an empty one-sided folder (removing it must cascade).
  for (uint64_t i = 0; i < few; ++i) {
    AddFolder(RandomFolder(can_have_children), TKind::kLeftOnly, false);
    AddFolder(RandomFolder(can_have_children), TKind::kRightOnly, false);
    AddFolder(RandomFolder(can_have_children), TKind::kBoth, true);
    for (TKind kind : {TKind::kLeftOnly, TKind::kRightOnly}) {
      AddFolder(RandomFolder(can_have_children), kind, true);
      if (folders_.back().depth < kMaxDepth) AddFolder(folders_.size() - 1, kind, true);
    }
  }
}

void TGenerator::PlanChange(TFile& f) {
  f.right_offset = rnd_.Below(kPatternSize - kMaxSize);
  f.right_size = rnd_.Chance(5000) && f.size > 0 ? f.size : RandomSize(rnd_) + 1;
  // At least 13 hours apart, so no time tolerance (2 s, daylight, 1-12 h zones) can hide it.
  int64_t delta = 13 * 3600 + static_cast<int64_t>(rnd_.Below(60 * 86400));
  bool right_newer = rnd_.Chance(7000);
  f.right_mtime = f.mtime;
  f.right_mtime.tv_sec += right_newer ? delta : -delta;
  f.right_mtime.tv_nsec = static_cast<long>(rnd_.Below(1000000000));
  ++(right_newer ? right_newer_ : left_newer_);
}

void TGenerator::PlanFiles() {
  std::vector<uint32_t> left_dirs, both_dirs, right_dirs;
  for (uint32_t i = 0; i < folders_.size(); ++i) {
    const TFolder& d = folders_[i];
    if (d.empty) continue;
    if (d.kind != TKind::kRightOnly) left_dirs.push_back(i);
    if (d.kind == TKind::kBoth) both_dirs.push_back(i);
    if (d.kind == TKind::kRightOnly) right_dirs.push_back(i);
  }
  uint64_t added = std::max<uint64_t>(right_dirs.size(), opt_.files / 100);
  files_.reserve(opt_.files + added);
  for (uint64_t i = 0; i < opt_.files + added; ++i) {
    TFile f{};
    f.id = static_cast<uint32_t>(i);
    f.size = RandomSize(rnd_);
    f.offset = rnd_.Below(kPatternSize - kMaxSize);
    f.mtime = RandomTime(rnd_);
    if (i >= opt_.files) {
      // Every right-only folder gets at least one of the added files.
      uint64_t k = i - opt_.files;
      f.folder = k < right_dirs.size() ? right_dirs[k] : RandomFolder(both_dirs);
      f.fate = TFate::kAdded;
      ++right_only_;
    } else {
      f.folder = RandomFolder(left_dirs);
      uint64_t r = rnd_.Below(10000);
      bool one_sided = folders_[f.folder].kind == TKind::kLeftOnly;
      f.fate = one_sided || r < 100 ? TFate::kDeleted : r < 300 ? TFate::kChanged : TFate::kSame;
      if (f.fate == TFate::kChanged) PlanChange(f);
      if (f.fate == TFate::kDeleted) ++left_only_;
      if (f.fate == TFate::kSame) ++same_;
    }
    if (f.fate != TFate::kChanged) {
      f.right_size = f.size;
      f.right_offset = f.offset;
      f.right_mtime = f.mtime;
    }
    files_.push_back(f);
  }
  // Written folder by folder, so that each folder is opened once.
  std::stable_sort(files_.begin(), files_.end(),
                   [](const TFile& a, const TFile& b) { return a.folder < b.folder; });
  total_ = files_.size();
}

bool TGenerator::Fail(const std::string& path, int error) {
  std::fprintf(stderr, "gen-tree: %s: %s\n", path.c_str(), std::strerror(error));
  return false;
}

bool TGenerator::MakeRoots() {
  left_ = opt_.out + "/left/";
  right_ = opt_.out + "/right/";
  if (::mkdir(opt_.out.c_str(), 0755) != 0 && errno != EEXIST) return Fail(opt_.out, errno);
  for (const std::string& root : {left_, right_}) {
    if (::mkdir(root.c_str(), 0755) == 0) continue;
    if (errno != EEXIST) return Fail(root, errno);
    // Never mix a new tree into an old one: the manifest would lie.
    std::fprintf(stderr, "gen-tree: %s already exists; remove it first\n", root.c_str());
    return false;
  }
  return true;
}

bool TGenerator::WriteFile(int dir_fd, const std::string& dir, const std::string& name,
                           uint64_t size, uint64_t written, uint32_t offset, timespec mtime) {
  TFd fd(::openat(dir_fd, name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644));
  if (fd.get() < 0) return Fail(dir + name, errno);
  const char* p = pattern_.data() + offset;
  for (uint64_t left = written; left > 0;) {
    ssize_t n = ::write(fd.get(), p, left);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return Fail(dir + name, n < 0 ? errno : ENOSPC);
    p += n;
    left -= static_cast<uint64_t>(n);
  }
  if (written < size && ::ftruncate(fd.get(), static_cast<off_t>(size)) != 0)
    return Fail(dir + name, errno);
  const timespec times[2] = {mtime, mtime};
  if (::futimens(fd.get(), times) != 0) return Fail(dir + name, errno);
  if (fd.Close() != 0) return Fail(dir + name, errno);
  return true;
}

void TGenerator::Progress(uint64_t done) {
  if (!isatty(STDERR_FILENO)) return;
  int percent = static_cast<int>(done * 100 / std::max<uint64_t>(1, total_));
  if (percent == last_percent_) return;
  last_percent_ = percent;
  std::fprintf(stderr, "\rgen-tree: %3d%%", percent);
  if (done == total_) std::fputc('\n', stderr);
}

bool TGenerator::WriteFolders() {
  size_t next = 0;
  for (uint32_t d = 0; d < folders_.size(); ++d) {
    const TFolder& folder = folders_[d];
    std::string dirs[2] = {left_ + folder.rel, right_ + folder.rel};
    bool on[2] = {folder.kind != TKind::kRightOnly, folder.kind != TKind::kLeftOnly};
    TFd fds[2];
    for (int side = 0; side < 2; ++side) {
      if (!on[side]) continue;
      if (d > 0 && ::mkdir(dirs[side].c_str(), 0755) != 0) return Fail(dirs[side], errno);
      fds[side].Reset(::open(dirs[side].c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
      if (fds[side].get() < 0) return Fail(dirs[side], errno);
    }
    for (; next < files_.size() && files_[next].folder == d; ++next) {
      const TFile& f = files_[next];
      std::string name = FileName(f, rnd_);
      if (f.fate != TFate::kAdded) {
        if (!WriteFile(fds[0].get(), dirs[0], name, f.size, Written(f.size, false), f.offset,
                       f.mtime))
          return false;
        ++left_files_;
        left_bytes_ += f.size;
      }
      if (f.fate != TFate::kDeleted) {
        const uint64_t written = Written(f.right_size, f.fate == TFate::kChanged);
        if (!WriteFile(fds[1].get(), dirs[1], name, f.right_size, written, f.right_offset,
                       f.right_mtime))
          return false;
        ++right_files_;
        right_bytes_ += f.right_size;
      }
      Progress(next + 1);
    }
  }
  return true;
}

// Last, because adding an entry to a folder changes its time.
bool TGenerator::SetFolderTimes() {
  for (const TFolder& folder : folders_) {
    const timespec times[2] = {folder.mtime, folder.mtime};
    for (TKind absent : {TKind::kRightOnly, TKind::kLeftOnly}) {
      if (folder.kind == absent) continue;
      std::string path = (absent == TKind::kRightOnly ? left_ : right_) + folder.rel;
      if (::utimensat(AT_FDCWD, path.c_str(), times, 0) != 0) return Fail(path, errno);
    }
  }
  return true;
}

bool TGenerator::WriteManifest() {
  uint64_t folders[2] = {0, 0}, one_sided[2] = {0, 0}, empty = 0;
  for (const TFolder& d : folders_) {
    folders[0] += d.kind != TKind::kRightOnly;
    folders[1] += d.kind != TKind::kLeftOnly;
    one_sided[0] += d.kind == TKind::kLeftOnly;
    one_sided[1] += d.kind == TKind::kRightOnly;
    empty += d.empty;
  }
  // Folder counts leave out the roots, as a listing of the tree would.
  const std::pair<const char*, uint64_t> lines[] = {{"seed", opt_.seed},
                                                    {"files", opt_.files},
                                                    {"sparse", opt_.sparse ? 1u : 0u},
                                                    {"left_files", left_files_},
                                                    {"left_folders", folders[0] - 1},
                                                    {"left_bytes", left_bytes_},
                                                    {"right_files", right_files_},
                                                    {"right_folders", folders[1] - 1},
                                                    {"right_bytes", right_bytes_},
                                                    {"left_only_files", left_only_},
                                                    {"right_only_files", right_only_},
                                                    {"left_newer_files", left_newer_},
                                                    {"right_newer_files", right_newer_},
                                                    {"equal_files", same_},
                                                    {"left_only_folders", one_sided[0]},
                                                    {"right_only_folders", one_sided[1]},
                                                    {"empty_folders", empty}};
  std::string path = opt_.out + "/manifest.txt";
  FILE* out = std::fopen(path.c_str(), "w");
  if (out == nullptr) return Fail(path, errno);
  for (const auto& [key, value] : lines)
    std::fprintf(out, "%s %llu\n", key, static_cast<unsigned long long>(value));
  if (std::fclose(out) != 0) return Fail(path, errno);
  return true;
}

int TGenerator::Run() {
  pattern_.resize(kPatternSize);
  for (size_t i = 0; i < kPatternSize; i += 8) {
    uint64_t v = rnd_.Next();
    std::memcpy(pattern_.data() + i, &v, 8);
  }
  PlanFolders();
  PlanFiles();
  if (!MakeRoots() || !WriteFolders() || !SetFolderTimes() || !WriteManifest()) return 1;
  std::printf(
      "gen-tree: %s: left %llu files in %zu folders, right %llu files; %llu changed, "
      "%llu left only, %llu right only\n",
      opt_.out.c_str(), static_cast<unsigned long long>(left_files_), folders_.size(),
      static_cast<unsigned long long>(right_files_),
      static_cast<unsigned long long>(left_newer_ + right_newer_),
      static_cast<unsigned long long>(left_only_), static_cast<unsigned long long>(right_only_));
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  TOptions opt;
  if (int rc = ParseOptions(argc, argv, opt)) return rc;
  return TGenerator(opt).Run();
}
