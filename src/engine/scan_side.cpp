// The scan of one side of one pair.
#include "engine/scan_side.h"

#include <cerrno>
#include <cstring>

#include "engine/scan_info.h"
#include "platform/fs.h"
#include "platform/locale.h"

namespace twn {
namespace {

bool IsDotOrDotDot(std::string_view name) {
  return name == "." || name == "..";
}

int32_t AddFolder(TSideTables t, int32_t pair, int32_t parent, bool exists, bool root,
                  uint32_t root_length, std::string_view path, int side) {
  TFolderEntry e{};
  e.pair = pair;
  e.parent = parent;
  e.root = root;
  e.exists = exists;
  e.side = static_cast<uint8_t>(side);
  e.partner = -1;
  e.group = -1;
  e.path_offset = t.pool.Add(path);
  e.path_length = static_cast<uint32_t>(path.size());
  e.rel_offset = e.path_offset + root_length;
  e.rel_length = e.path_length - root_length;
  e.insertion = t.folders.Count();
  return t.folders.Append(e);
}

/// A file entry; its name is for the caller to put into the pool.
TFileEntry MakeFile(int32_t folder, int side, const platform::TListEntry& entry) {
  TFileEntry f{};
  f.folder = folder;
  f.side = static_cast<uint8_t>(side);
  f.size = entry.size;
  f.attributes = static_cast<uint8_t>(entry.attributes);
  f.time = entry.last_write;
  f.partner = -1;
  f.selected = 1;
  f.name_length = static_cast<uint16_t>(entry.name.size());
  const size_t dot = entry.name.rfind('.');
  f.ext_start = dot == std::string_view::npos ? f.name_length : static_cast<uint16_t>(dot + 1);
  return f;
}

void AddFile(TSideTables t, int32_t folder, int side, const platform::TListEntry& entry) {
  TFileEntry f = MakeFile(folder, side, entry);
  f.name_offset = t.pool.Add(entry.name);
  t.files.Append(f);
}

}  // namespace

std::string ScanErrorLine(std::string_view why) {
  return platform::FormatDateTime(platform::Now()) + " - error " + std::string(why);
}

int32_t AddRootFolder(TSideTables tables, int32_t pair, std::string_view path, int side) {
  // An empty path would name the whole file system: it stays empty, is never listed, and the
  // plan writes nothing onto it.
  const std::string root = path.empty() ? std::string() : platform::IncludeTrailingSeparator(path);
  const bool exists = !root.empty() && platform::DirectoryExists(root);
  const auto root_length = static_cast<uint32_t>(root.size());
  return AddFolder(tables, pair, tables.folders.Count(), exists, true, root_length, root, side);
}

platform::TError TSideScanner::AddLink(TSideTables t, int32_t folder, int side,
                                       const platform::TListEntry& entry) {
  // The name, a NUL, the target text: the target is read straight into place.
  const size_t name_size = entry.name.size();
  char* room = t.pool.Room(name_size + 1 + kLinkTargetRoom);
  size_t length = 0;
  if (const platform::TError e =
          lister_.ReadLink(entry, room + name_size + 1, kLinkTargetRoom, length))
    return e;
  std::memcpy(room, entry.name.data(), name_size);
  room[name_size] = 0;
  TFileEntry f = MakeFile(folder, side, entry);
  f.size = length;
  f.name_offset = t.pool.Commit(name_size + 1 + length);
  t.files.Append(f);
  return 0;
}

TSideScanner::TFolderCounts TSideScanner::ScanFolder(TSideTables t, int32_t folder,
                                                     uint32_t root_length, int side,
                                                     bool subfolders) {
  TFolderCounts counts;
  const TFolderEntry& e = t.folders[folder];
  // The path lives in the pool, which moves when it grows: work on a copy.
  dir_path_.assign(t.pool.View(e.path_offset, e.path_length));
  // Below the root, a folder that has become a link since it was listed is not entered.
  if (!lister_.Open(dir_path_, e.root)) {
    counts.error = lister_.Error();
    return counts;
  }
  if (options_.folder_times) lister_.FolderStatus(t.folders[folder].status);  // 0s when unknown
  const int32_t pair = e.pair;
  platform::TListEntry entry;
  while (lister_.Next(entry)) {
    if (!entry.IsDirectory() && platform::IsCopyTempName(entry.name))
      continue;  // the program's own, never the user's
    // Counted, so that their folder is never taken for an empty one, but never acted on.
    if (entry.other) {
      ++counts.files;
      continue;
    }
    if (entry.link) {
      ++counts.files;
      const platform::TError error = AddLink(t, folder, side, entry);
      if (error == 0 || error == ENOENT) continue;  // ENOENT: gone since it was listed
      counts.error = error;
      return counts;
    }
    if (!entry.IsDirectory()) {
      ++counts.files;
      AddFile(t, folder, side, entry);
      continue;
    }
    if (!subfolders || IsDotOrDotDot(entry.name)) continue;
    ++counts.subfolders;
    if (folder_specs_.Matches(entry.name, false)) continue;
    child_path_.assign(dir_path_).append(entry.name).push_back(platform::kSep);
    if (skips_ && Skipped(root_length)) continue;
    AddFolder(t, pair, folder, true, false, root_length, child_path_, side);
  }
  counts.error = lister_.Error();
  return counts;
}

bool TSideScanner::Skipped(uint32_t root_length) const {
  const std::string_view below = std::string_view(child_path_).substr(root_length);
  for (const std::string& skip : *skips_)
    if (below == skip) return true;
  return false;
}

bool TSideScanner::Scan(TSideTables t, int32_t pair, std::string_view path, int side,
                        bool subfolders, TProgress& progress) {
  const int32_t first = AddRootFolder(t, pair, path, side);
  const uint32_t root_length = t.folders[first].path_length;
  skips_ = all_skips_ ? all_skips_->For(t.pool.View(t.folders[first].path_offset, root_length))
                      : nullptr;
  for (int32_t i = first; i < t.folders.Count(); ++i) {
    const int32_t files_before = t.files.Count();
    TFolderCounts counts;
    if (t.folders[i].exists) {
      counts = ScanFolder(t, i, root_length, side, subfolders);
      if (counts.error != 0) {
        t.folders[i].blocked = kUnseen;
        const TFolderEntry& e = t.folders[i];
        errors_.push_back(ScanErrorLine("Scanning folder: " + platform::ErrorText(counts.error) +
                                        ": '" +
                                        std::string(t.pool.View(e.path_offset, e.path_length)) +
                                        "': nothing is done in this folder"));
      }
    }
    t.folders[i].files_found = counts.files;
    t.folders[i].subfolders_found = counts.subfolders;
    if (!progress.FolderDone(t.files.Count() - files_before)) return false;
  }
  return true;
}

}  // namespace twn
