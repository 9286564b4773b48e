#pragma once
// The scan of one side of one pair, breadth-first, into a set of tables: the scan's own, or a
// part that another thread fills and the scan appends afterwards. A scanner touches nothing but
// the tables it is given and its own buffers, so two scanners run side by side safely.
#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "engine/scan_table.h"
#include "filters/file_spec_processor.h"
#include "platform/listing.h"

namespace twn {

struct TFolderEntry;
struct TFileEntry;

/// Where a side scan writes: a folder table, a file table and a name pool. Indices and offsets
/// it writes are positions in these tables.
struct TSideTables {
  TTable<TFolderEntry>& folders;
  TTable<TFileEntry>& files;
  TNamePool& pool;
};

/// Folders a scan does not enter (the versions folders): by root as scanned, separator-ended,
/// the separator-ended paths below it. Counted as subfolders, so their folder is never empty.
struct TFolderSkips {
  std::vector<std::pair<std::string, std::vector<std::string>>> by_root;
  /// The skips below `root`, or nullptr when it has none.
  const std::vector<std::string>* For(std::string_view root) const {
    for (const auto& [r, skips] : by_root)
      if (r == root) return &skips;
    return nullptr;
  }
};

/// What a scan records beyond files and folders.
struct TScanOptions {
  /// Symbolic links as entries of their own (never followed), with their target texts.
  bool links = false;
  /// Each folder's own last-write time.
  bool folder_times = false;
};

/// The longest target text a link can have, with room to tell a longer one.
inline constexpr size_t kLinkTargetRoom = 4096;

/// A time-stamped error line of the scan, for the full and error logs.
std::string ScanErrorLine(std::string_view why);

/// Appends the root folder entry of a pair's side; an empty path stays empty, never listed.
int32_t AddRootFolder(TSideTables tables, int32_t pair, std::string_view path, int side);

class TSideScanner {
 public:
  /// Told after every folder listed, on the scanning thread, with the files it added.
  struct TProgress {
    virtual ~TProgress() = default;
    /// False ends the scan at once.
    virtual bool FolderDone(int64_t files_added) = 0;
  };

  TSideScanner(const TFileSpecProcessor& folder_specs, const TScanOptions& options,
               const TFolderSkips* skips = nullptr)
      : folder_specs_(folder_specs), options_(options), all_skips_(skips) {
    lister_.KeepLinks(options.links);
  }

  /// Appends the side's root and everything below it. False when stopped. A folder that cannot
  /// be listed is marked kUnseen and its error line kept in Errors().
  bool Scan(TSideTables tables, int32_t pair, std::string_view path, int side, bool subfolders,
            TProgress& progress);
  /// Error lines of the folders that could not be listed, in scan order.
  std::vector<std::string>& Errors() { return errors_; }

 private:
  struct TFolderCounts {
    int32_t files = 0;
    int32_t subfolders = 0;
    platform::TError error = 0;  // why the folder could not be listed whole; 0 when it could
  };
  /// Lists one folder into the tables. FIFOs, sockets, devices and (unless kept) links are
  /// counted among the files but not recorded; the temporary files of copies are passed over. What
  /// was listed before a failure stays.
  TFolderCounts ScanFolder(TSideTables t, int32_t folder, uint32_t root_length, int side,
                           bool subfolders);

  /// The folder at child_path_ is one of the skips of the root scanned.
  bool Skipped(uint32_t root_length) const;
  /// A kept link, its target text read into the pool after its name.
  platform::TError AddLink(TSideTables t, int32_t folder, int side,
                           const platform::TListEntry& entry);

  const TFileSpecProcessor& folder_specs_;
  TScanOptions options_;
  const TFolderSkips* all_skips_;
  const std::vector<std::string>* skips_ = nullptr;
  std::vector<std::string> errors_;
  // Reused between folders so the scan allocates nothing per folder or name.
  platform::TDirLister lister_{false};
  std::string dir_path_;
  std::string child_path_;
};

}  // namespace twn
