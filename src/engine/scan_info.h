#pragma once
// TScanInfo: the in-memory picture of one job run. Both sides of every folder pair are scanned
// into flat tables of fixed-size records (folders, files, pair roots) and one name pool; the
// tables are then matched and classified into comparison items, and the items are turned into
// the synchronization plan. The file operations, the report and the Visual run window read the
// items and the plan through TItemList.
//
// Indices are dense 32-bit positions in a table (-1 = none). After LinkFolders and CompareFiles
// the folder and file tables are in sorted order and every index refers to that order.
#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "engine/scan_observer.h"
#include "engine/scan_side.h"
#include "engine/scan_table.h"
#include "filters/file_filter.h"
#include "filters/file_spec_processor.h"
#include "platform/listing.h"
#include "platform/time.h"

namespace twn {

class TJobData;
struct TPairItem;
class TScanInfo;

inline constexpr int kLeft = 0;
inline constexpr int kRight = 1;

/// Comparison classes of an item.
enum TCompareClass : uint8_t {
  ccNone = 0,
  ccLeftSingle = 1,   // file only on the left
  ccRightSingle = 2,  // file only on the right
  ccLeftNewer = 3,    // left newer, right older
  ccLeftOlder = 4,    // left older, right newer
  ccEqual = 5,        // equal by the job's rules
  ccSameTime = 6,     // unequal, times equal under the time rules
  ccFolderLeft = 7,   // folder only on the left
  ccFolderRight = 8,  // folder only on the right
  ccFolderBoth = 9,   // folder on both sides
  ccRootLeft = 10,    // root item: only the left root exists
  ccRootRight = 11,   // root item: only the right root exists
  ccRootBoth = 12,    // root item: the left root exists (the right one may not)
};

/// Plan actions of an item.
enum TPlanAction : uint8_t {
  paNothing = 0,
  paDeleteLeft = 1,
  paDeleteRight = 2,
  paDeleteBoth = 3,
  paCopyToRight = 4,     // left file to the right side, no file there
  paCopyToLeft = 5,      // right file to the left side, no file there
  paOverwriteLeft = 6,   // right file over the left file
  paOverwriteRight = 7,  // left file over the right file
  paRemoveLeft = 8,      // remove the left folder
  paRemoveRight = 9,     // remove the right folder
  paRemoveBoth = 10,     // remove both folders
  paCreateLeft = 11,     // create the folder on the left side
  paCreateRight = 12,    // create the folder on the right side
  paRemoveLeftCreateRight = 13,
  paRemoveRightCreateLeft = 14,
};
inline constexpr int kActionCount = 15;
/// Short texts of the plan actions, as the plan preview and the tools print them.
inline constexpr std::array<std::string_view, kActionCount> kPlanActionNames = {
    "folder",  // listed for the files planned in it
    "delete left",
    "delete right",
    "delete both",
    "copy to right",
    "copy to left",
    "overwrite left",
    "overwrite right",
    "remove left folder",
    "remove right folder",
    "remove both folders",
    "create left folder",
    "create right folder",
    "create right, remove left",
    "create left, remove right",
};

/// Which sides a plan action touches; every stage, the plan and its preview ask these.
/// The side a copy reads from; -1 for an action that copies nothing.
constexpr int CopySource(int action) {
  if (action == paCopyToRight || action == paOverwriteRight) return kLeft;
  if (action == paCopyToLeft || action == paOverwriteLeft) return kRight;
  return -1;
}
/// The action copies a file or creates a folder on that side.
constexpr bool WritesOnto(int action, int side) {
  if (side == kRight)
    return action == paCopyToRight || action == paOverwriteRight || action == paCreateRight ||
           action == paRemoveLeftCreateRight;
  return action == paCopyToLeft || action == paOverwriteLeft || action == paCreateLeft ||
         action == paRemoveRightCreateLeft;
}
/// The action deletes the file on that side.
constexpr bool DeletesOn(int action, int side) {
  return action == paDeleteBoth || action == (side == kLeft ? paDeleteLeft : paDeleteRight);
}
/// The action removes the folder on that side.
constexpr bool RemovesOn(int action, int side) {
  if (action == paRemoveBoth) return true;
  return side == kLeft ? action == paRemoveLeft || action == paRemoveLeftCreateRight
                       : action == paRemoveRight || action == paRemoveRightCreateLeft;
}

/// Compare flags of a matched file couple.
inline constexpr uint32_t kCfMatched = 1;
inline constexpr uint32_t kCfSize = 2;         // equal size
inline constexpr uint32_t kCfAttr = 4;         // equal attribute word
inline constexpr uint32_t kCfTime = 32;        // equal time
inline constexpr uint32_t kCfTwoSeconds = 64;  // at most 2 seconds apart
inline constexpr uint32_t kCfDaylight = 512;   // the daylight offset apart, give or take 2 s
inline constexpr uint32_t kCfTimezone = 1024;  // the timezone offset apart, give or take 2 s

/// Time relation of a file to its partner.
inline constexpr uint8_t kTimeNewer = 1;
inline constexpr uint8_t kTimeOlder = 2;
inline constexpr uint8_t kTimeSame = 3;

/// Tolerance of every time test: 2 seconds in file-time units.
inline constexpr int64_t kTimeTolerance = 20'000'000;
inline constexpr int64_t kFileTicksPerHour = 36'000'000'000;

struct TFolderEntry {
  uint64_t path_offset;  // full path, always ending with the separator
  uint64_t rel_offset;   // path_offset + root length
  int32_t pair;
  int32_t parent;  // a root is its own parent
  int32_t files_found;
  int32_t subfolders_found;  // before the folder filter; 0 without subfolders
  int32_t files_remaining;   // adjusted by the plan
  int32_t subfolders_remaining;
  int32_t partner;    // the same relative folder on the other side, -1 if none
  int32_t group;      // first entry of the folder's couple in sorted order, -1 until linked
  int32_t insertion;  // position before sorting
  platform::TCarriedStatus status;  // last write, bits, owner; all 0 unless the scan reads them
  uint32_t path_length;
  uint32_t rel_length;  // 0 for a root, else ends with the separator
  uint8_t root;
  uint8_t exists;  // a root: existed when the scan began; a subfolder: 1
  uint8_t side;
  uint8_t matched;
  /// kUnseen: the folder could not be listed whole (or its pair may not be run); kBlocked: it
  /// lies at or below such a folder on either side. Nothing is done in a blocked folder.
  uint8_t blocked;
};

inline constexpr uint8_t kUnseen = 1;
inline constexpr uint8_t kBlocked = 2;

/// 40 bytes: the one record a scan writes per file, so every byte counts. A file's group is its
/// folder's; its compare flags live in its comparison item.
struct TFileEntry {
  uint64_t size;
  platform::TFileTime time;  // last write, UTC
  uint64_t name_offset;
  int32_t folder;
  int32_t partner;  // the same name in the partner folder, -1 if none
  /// A listed name is shorter than a kernel directory record (16-bit length).
  uint16_t name_length;
  /// Position in the name of the first character after the last "."; the name length when
  /// there is no "." (so the extension is empty). ExtOffset = name_offset + ext_start.
  uint16_t ext_start;
  uint8_t attributes;  // the attribute word fits in 8 bits (kAttrNormal is the highest)
  uint8_t side;
  uint8_t time_relation;  // kTimeNewer / kTimeOlder / kTimeSame, 0 until compared
  uint8_t selected;       // result of the file filters
};
static_assert(sizeof(TFileEntry) == 40);
static_assert(platform::kAttrNormal <= 0xFF && platform::kAttrArchive <= 0xFF);

struct TPairRootEntry {
  uint64_t offset[2];  // root path of each side in the pool
  int32_t pair;
  uint32_t length[2];
  uint8_t exists[2];
  /// Deletions and removals left out of this pair's plan because a root is missing.
  int32_t dropped;
};

/// 16 bytes. An item's group is that of its entries' folder (see TScanInfo::ItemGroup).
struct TCompareItem {
  int32_t index[2];  // file or folder entry on each side, -1 if absent
  uint16_t flags;    // compare flags of a file couple, 0 for folders and singles
  uint8_t action;    // TPlanAction
  uint8_t cls;       // TCompareClass
  uint8_t is_file;
  uint8_t root_mark;  // folder item of a pair root
};
static_assert(sizeof(TCompareItem) == 16);

/// Growth steps of the tables; tests use small ones to walk the growth paths.
struct TTableSteps {
  uint32_t pair_roots = 1024;
  uint32_t folders = 2048;
  uint32_t files = 16384;
  uint64_t pool = 2'359'296;
};

/// The comparison switches of a job and the two time offsets (100-ns units).
struct TCompareRules {
  bool bRulesSize = true;
  bool bRulesTime = true;
  bool bRulesAttr = false;
  bool bRulesNTFS = true;
  bool bRulesDaylight = true;
  bool bRulesTimezone = false;
  int64_t timezone_offset = kFileTicksPerHour;
  int64_t daylight_offset = 0;
};

/// Bits of the action set.
enum TActionBit : uint32_t {
  abSingleLCopy = 1u << 0,
  abSingleRCopy = 1u << 1,
  abNewerRCopyL = 1u << 2,   // left older: copy left to right
  abNewerLCopyR = 1u << 3,   // left newer: copy right to left
  abNewerLCopyL = 1u << 4,   // left newer: copy left to right
  abNewerRCopyR = 1u << 5,   // left older: copy right to left
  abEqualDateL = 1u << 6,    // same time: copy left to right
  abEqualDateR = 1u << 7,    // same time: copy right to left
  abRemoveEmptyL = 1u << 8,  // Empty_RemoveL
  abRemoveEmptyR = 1u << 9,  // Empty_RemoveR
  abCopyEmptyR = 1u << 10,   // Empty_CopyR: right to left
  abCopyEmptyL = 1u << 11,   // Empty_CopyL: left to right
  abSingleLDelete = 1u << 12,
  abSingleRDelete = 1u << 13,
  abNewerRDelL = 1u << 14,  // left older: delete left
  abNewerLDelR = 1u << 15,  // left newer: delete right
  abNewerLDelL = 1u << 16,  // left newer: delete left
  abNewerRDelR = 1u << 17,  // left older: delete right
  abEqualDateDelL = 1u << 18,
  abEqualDateDelR = 1u << 19,
  abEqualDelL = 1u << 20,
  abEqualDelR = 1u << 21,
};

/// Sort key of the items: 0 name, 1 extension, 2 size, 3 time.
enum TSortKey : int { skName = 0, skExtension = 1, skSize = 2, skTime = 3 };

struct TSortSettings {
  int key = skName;
  bool prefer_left = true;
  bool ascending = true;
};

/// Per class 1-6: item count and the sizes of the left and right files.
struct TClassCounters {
  int64_t count[13] = {};
  uint64_t bytes[13][2] = {};
};

/// Per action 1-14: entry count and sizes of the left and right files concerned; folders to
/// create and remove per side; over the file entries of the plan, how many have a file on
/// each side and their sizes.
struct TPlanCounters {
  int64_t count[kActionCount] = {};
  uint64_t bytes[kActionCount][2] = {};
  int64_t folders_to_remove[2] = {};
  int64_t folders_to_create[2] = {};
  int64_t files_with_side[2] = {};
  uint64_t bytes_with_side[2] = {};
};

/// A folder path that may not exist yet: for a side where the item's folder is absent, the
/// nearest ancestor that exists on that side, in that side's spelling, followed by the rest of
/// the relative path of the folder that exists. `missing`: the folder (or, from FilePath, the
/// file) is not there yet. `root_length`: how much of `path` is the pair's root on that side;
/// what follows lies below the root, where the file operations never follow a link.
struct TFolderPath {
  std::string path;
  bool missing = false;
  uint32_t root_length = 0;
};

/// A plan entry, on one side, that stands in the way of another entry of the plan.
struct TWayEntry {
  int32_t plan_index;
  int side;
};

/// A folder to take its partner's last-write time after a run: a comparison item and a side.
/// A folder the run created takes its partner's permission bits and owner as well.
struct TFolderTimeTarget {
  int32_t item;
  int side;
  bool created;
  platform::TCarriedStatus from;
};

/// Read access to the comparison items or the plan entries of a TScanInfo. Every accessor
/// answers a neutral value for an index out of range or a side where the entry is absent.
class TItemList {
 public:
  int32_t Count() const;
  const TCompareItem* Item(int32_t i) const;

  bool IsFolder(int32_t i) const;
  bool IsFile(int32_t i) const;
  int Class(int32_t i) const;
  int Action(int32_t i) const;
  int32_t Group(int32_t i) const;
  uint32_t Flags(int32_t i) const;
  bool IsRoot(int32_t i) const;
  /// Pair index of the item; -1 out of range.
  int32_t Pair(int32_t i) const;
  /// File or folder entry on a side; -1 if absent.
  int32_t Index(int32_t i, int side) const;

  /// File items: "?name" if absent.
  std::string_view FileName(int32_t i, int side) const;
  /// File items: -1 if absent (and *present false).
  int64_t FileSize(int32_t i, int side, bool* present = nullptr) const;
  platform::TFileTime FileTime(int32_t i, int side) const;
  uint32_t FileAttributes(int32_t i, int side) const;
  uint32_t FileFlags(int32_t i, int side) const;
  /// File items: the entry on that side is a symbolic link (kept by the scan).
  bool IsLink(int32_t i, int side) const;
  /// File items: the link's target text on that side; empty when it is no link.
  std::string_view LinkTarget(int32_t i, int side) const;

  /// The folder of the item (a folder item's own folder, a file item's folder) on a side,
  /// ending with the separator; "no value" out of range.
  TFolderPath FolderPath(int32_t i, int side) const;
  /// A file item's path on a side: FolderPath plus the name of the file that exists.
  TFolderPath FilePath(int32_t i, int side) const;
  /// The part of the item's folder path after its root ("" for a root).
  std::string_view RelativePath(int32_t i) const;
  /// Exists flag of the item's folder on a side; false if absent.
  bool FolderExists(int32_t i, int side) const;
  /// Largest file size of a side over all items; 0 when there is none.
  uint64_t LargestFileSize(int side) const;

 private:
  friend class TScanInfo;
  TItemList(const TScanInfo& info, const TTable<TCompareItem>& items,
            const TTable<int32_t>* order = nullptr)
      : info_(&info), items_(&items), order_(order) {}
  const TFileEntry* File(int32_t i, int side) const;
  int32_t FolderOf(int32_t i, int side) const;

  const TScanInfo* info_;
  const TTable<TCompareItem>* items_;
  /// The plan: positions in items_, in plan order; null for the items themselves.
  const TTable<int32_t>* order_;
};

/// Why a pair may not be run because one of its roots lies inside the other (compared as real
/// paths), or an empty text. A pair without subfolders, or whose folder patterns leave out a
/// folder between the two roots, never reaches the inner root and may run; the same folder on
/// both sides is no overlap.
std::string PairOverlapProblem(const TPairItem& pair, const TFileSpecProcessor& folder_specs);

class TScanInfo {
 public:
  explicit TScanInfo(const TTableSteps& steps = {});

  // --- Setup -------------------------------------------------------------------------------
  /// Clears and loads everything a run needs from the job: name specs, folder patterns, file
  /// conditions, comparison switches and time offsets, action set.
  void Setup(const TJobData& job);
  /// Empties every table and pool and gives their memory back. Settings stay.
  void Clear();

  const TCompareRules& Rules() const { return rules_; }
  uint32_t ActionSet() const { return action_set_; }
  const TScanOptions& ScanOptions() const { return scan_options_; }
  void SetScanOptions(const TScanOptions& options) { scan_options_ = options; }
  void SetTableSteps(const TTableSteps& steps);

  /// Set by the worker when a run is stopped, cleared at the start of a compare run.
  bool Terminated() const { return terminated_; }
  void SetTerminated(bool value) { terminated_ = value; }
  /// Set by the worker when the deletion guard held the run before any file operation; cleared
  /// at the start of a compare run. The plan stays, so that it can be looked at.
  bool Held() const { return held_; }
  void SetHeld(bool value) { held_ = value; }
  /// Set by the worker when the job's settings could not be used and nothing was scanned;
  /// cleared at the start of a compare run.
  bool Refused() const { return refused_; }
  void SetRefused(bool value) { refused_ = value; }

  // --- Scan --------------------------------------------------------------------------------
  /// Scans one side of one pair breadth-first. False when the observer asked to stop. A
  /// folder that cannot be listed is marked kUnseen and reported to the observer.
  bool ScanSide(int32_t pair, std::string_view path, int side, bool subfolders,
                TScanObserver& observer);
  /// Scans every pair (left, then right), then compares and plans. False when stopped; the
  /// comparison and the plan are then not built. A pair whose roots overlap is not scanned:
  /// it is reported to the observer and both its roots are marked kUnseen.
  ///
  /// The sides are listed on several threads, each into tables of its own that are appended in
  /// pair order, so that tables, lines and counters are those of a scan on one thread. The
  /// observer is only ever called on the calling thread.
  bool ScanPairs(std::span<const TPairItem> pairs, TScanObserver& observer);
  bool ScanPairs(std::span<const TPairItem> pairs);
  const TScanCounters& ScanCounters() const { return counters_; }
  /// Threads of the next scans: 0 (the default) for one per core, but one when a root lies on
  /// a network or other slow file system, where parallel listing only adds waiting.
  void SetScanThreads(int threads) { scan_threads_ = threads; }
  /// Folders that could not be listed, pairs not run because their roots overlap, and roots
  /// that were missing and not created by the plan: each makes the run end with errors.
  int32_t ErrorCount() const { return scan_errors_ + missing_root_errors_; }

  // --- Comparison --------------------------------------------------------------------------
  void SortItems(int key, bool prefer_left, bool ascending);
  const TSortSettings& SortSettings() const { return sort_; }
  const TClassCounters& ClassCounters() const { return class_counters_; }

  // --- Plan --------------------------------------------------------------------------------
  const TPlanCounters& PlanCounters() const { return plan_counters_; }
  /// Deletions and removals of the plan that stand where the plan puts something of the other
  /// kind: a file deleted where a folder is created, a folder removed where a file is copied.
  /// Carried out first, in this order (a folder's files, then its folders deepest first), they
  /// let a file replace a folder, or a folder a file, in one run.
  std::vector<TWayEntry> InTheWay() const;

  // --- Folder times ------------------------------------------------------------------------
  /// The group of the folder a folder couple lies in (a root's own); -1 out of range.
  int32_t ParentGroup(int32_t group) const;
  /// Marks in `touched` (see FolderTimeTargets) a folder created on `side`, every level above
  /// it that was missing there too, and the first level that was not.
  void MarkCreated(std::span<uint8_t> touched, int32_t group, int side) const;
  /// The side every copy of the action set goes to; -1 when it copies both ways or not at all.
  int OneWayTarget() const;
  /// With folder times scanned: the folders that take their partner's time, deepest first.
  /// `touched` holds, per folder group, bit 1 << side when the run wrote into that side's
  /// folder. Such a folder takes its partner's time unless the partner was written into too; a
  /// one-way method's target folder also takes it when the times alone differ.
  std::vector<TFolderTimeTarget> FolderTimeTargets(std::span<const uint8_t> touched) const;

  // --- Reading -----------------------------------------------------------------------------
  TItemList Items() const { return TItemList(*this, items_); }
  TItemList Plan() const { return TItemList(*this, items_, &plan_); }

  int32_t FolderCount() const { return folders_.Count(); }
  int32_t FileCount() const { return files_.Count(); }
  int32_t PairCount() const { return pair_roots_.Count(); }
  const TFolderEntry* Folder(int32_t i) const;
  const TFileEntry* File(int32_t i) const;
  /// Name of a file entry as listed; empty out of range.
  std::string_view FileName(int32_t i) const;
  std::string_view FileExtension(int32_t i) const;
  /// Target text of a link entry (it follows the name in the pool); empty for a file.
  std::string_view LinkTarget(int32_t i) const;
  /// Full path of a folder entry; empty out of range.
  std::string_view FolderPathOf(int32_t i) const;
  std::string_view FolderRelativePath(int32_t i) const;

  /// Root path of a pair on a side, ending with the separator; empty if unknown.
  std::string_view RootPath(int32_t pair, int side) const;
  /// Whether the pair's root on that side existed when the scan began (false if unknown).
  bool RootExists(int32_t pair, int side) const;
  /// Number of deletions and removals left out of the pair's plan because one of its roots
  /// is missing; the run reports such a pair once in the full and error logs.
  int32_t DroppedByMissingRoot(int32_t pair) const;
  /// The report line for a pair with a missing root; empty when both roots exist.
  std::string MissingRootLine(int32_t pair) const;

  /// Bytes the tables and pools hold now (for the benchmark).
  uint64_t AllocatedBytes() const;
  uint64_t PoolBytes() const { return pool_.Fill(); }

 private:
  // Steps of Setup and ScanPairs, in the order they run.
  /// The action set of a job's seven choices and four empty-folder flags.
  static uint32_t MakeActionSet(const TJobData& job);
  /// The comparison switches and offsets of a job; the daylight offset from the zone now.
  static TCompareRules MakeRules(const TJobData& job);
  void SetRules(const TCompareRules& rules) { rules_ = rules; }
  void SetActionSet(uint32_t set) { action_set_ = set; }
  // The parallel scan (scan_pairs.cpp).
  struct TScanTask;
  struct TScanShared;
  struct TScanPart;
  class TTaskProgress;
  TSideTables Tables() { return {folders_, files_, pool_}; }
  int ScanThreads(std::span<const TPairItem> pairs, size_t tasks) const;
  bool ScanHere(TSideScanner& scanner, TScanTask& task, TScanShared* shared,
                TScanObserver& observer);
  void ScanIntoPart(TSideScanner& scanner, TScanTask& task, TScanShared& shared,
                    TScanObserver* observer);
  void ScanWorker(TScanShared& shared);
  bool AppendPart(TScanTask& task, TScanObserver& observer);
  bool ReportProgress(TScanShared* shared, TScanObserver& observer);
  void WaitForTask(TScanTask& task, TScanShared& shared, TScanObserver& observer);
  void FlushErrors(std::vector<std::string>& lines, TScanObserver& observer);
  void LinkFolders();
  void CompareFiles();
  /// The folder couple a file belongs to: its folder's group.
  int32_t GroupOf(const TFileEntry& f) const { return folders_[f.folder].group; }
  /// The folder couple of an item: the group of its folder, or of its files' folder.
  int32_t ItemGroup(const TCompareItem& item) const {
    const int32_t i = item.index[kLeft] >= 0 ? item.index[kLeft] : item.index[kRight];
    return item.is_file ? GroupOf(files_[i]) : folders_[i].group;
  }
  /// Compare flags of a file couple.
  uint32_t CoupleFlags(const TFileEntry& a, const TFileEntry& b) const;
  /// Both are links with byte-equal target texts.
  bool SameLink(const TFileEntry& a, const TFileEntry& b) const;
  /// The folder couple has an entry on that side.
  bool GroupHasSide(int32_t group, int side) const;
  /// ApplyFilters, the items, SortItems with the stored settings, CountClasses.
  void BuildItems();
  void ApplyFilters();
  void CountClasses();
  /// The file actions, then PlanEmptyFolders and the missing-root guard.
  void PlanActions();
  void PlanEmptyFolders();
  /// The plan list, then CountPlan.
  void BuildPlan();
  void CountPlan();
  friend class TItemList;
  const TPairRootEntry* PairRoot(int32_t pair) const;
  TPairRootEntry* PairRoot(int32_t pair);
  void BuildPairRoots();
  void SortFolders();
  void SortFiles();
  void AddFileItems();
  void AddFolderItems();
  int32_t NearestMatched(int32_t folder) const;
  void GainSubfolderAbove(int32_t folder);
  void LoseSubfolderOfParent(int32_t folder);
  void PlanFileAction(TCompareItem& item, int32_t last_folder_item);
  void GuardMissingRoots();
  const TFileEntry& FileOf(const TCompareItem& item, int side) const;
  void MarkUnseen(int32_t folder, std::string_view why, TScanObserver& observer);
  void BlockUnseenSubtrees();
  bool Blocked(const TCompareItem& item) const;
  void CountMissingRoots();
  void AddSubtreeInTheWay(int32_t folder, int side, std::vector<TWayEntry>& way) const;

  TTableSteps steps_;
  TTable<TPairRootEntry> pair_roots_;
  TTable<TFolderEntry> folders_;
  TTable<TFileEntry> files_;
  TNamePool pool_;
  TTable<TCompareItem> items_;
  /// Positions in items_ of the plan entries, in plan order: four bytes an entry instead of a
  /// copy of the item.
  TTable<int32_t> plan_;

  TFileSpecProcessor include_specs_;
  TFileSpecProcessor exclude_specs_;
  bool use_exclude_ = false;
  TFileSpecProcessor folder_specs_;
  TFolderSkips skips_;
  TFilterExtProcessor conditions_;
  TCompareRules rules_;
  uint32_t action_set_ = 0;
  TScanOptions scan_options_;
  TSortSettings sort_;
  bool terminated_ = false;
  bool held_ = false;
  bool refused_ = false;
  int scan_threads_ = 0;

  TScanCounters counters_;
  int32_t scan_errors_ = 0;
  int32_t missing_root_errors_ = 0;
  TClassCounters class_counters_;
  TPlanCounters plan_counters_;

  std::string upper_name_;  // a file name upper-cased for the name specs
};

}  // namespace twn
