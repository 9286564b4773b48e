#pragma once
// The excluded-folder picker's tree: folders filled one level at a time as they are opened,
// each with a tick the user sets. A left click ticks or clears a folder and every folder below
// it that is already in the tree; a right click that folder only; folders filled later take
// their parent's tick. A folder whose loaded subfolders are not all alike shows as mixed. On
// OK the ticked folders' names become folder patterns.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "filters/folder_filter.h"

namespace twn {

/// One subfolder as a folder source reports it.
struct TFolderChild {
  std::string name;
  /// A symbolic link to a folder: shown, never opened (it could lead anywhere, even upwards).
  bool link = false;
  /// Whether it holds a folder of its own (a link is never opened, so this does not matter).
  bool has_subfolders = true;
};

/// Lists a folder's subfolders; tests hand in their own.
class TFolderSource {
 public:
  virtual ~TFolderSource() = default;
  /// The folders and links to folders directly inside `path`, hidden ones included; empty
  /// when it cannot be listed.
  virtual std::vector<TFolderChild> Subfolders(const std::string& path) = 0;
};

/// The file system through platform::TDirLister.
class TDiskFolderSource : public TFolderSource {
 public:
  std::vector<TFolderChild> Subfolders(const std::string& path) override;
};

/// The displayed state of a node, as the state images number them.
enum TTickState : int32_t { tkCleared = 1, tkTicked = 2, tkMixed = 8 };

/// A mount point worth offering as a root: /proc/self/mounts lines minus pseudo file systems.
/// Returns the mount points in file order, "/" left out.
std::vector<std::string> VolumeMountPoints(std::string_view mounts_text);
/// The picker's roots in order: the home folder, "/" and every mount point that is a folder
/// (containers bind-mount single files too), each once.
std::vector<std::string> PickerRootFolders(const std::string& home, std::string_view mounts_text);

class TFolderTree {
 public:
  /// Node ids are dense and stay valid until Clear.
  using TId = int32_t;
  static constexpr TId kNoNode = -1;

  explicit TFolderTree(TFolderSource& source) : source_(&source) {}

  void Clear() {
    nodes_.clear();
    roots_.clear();
  }
  /// Adds a root shown as `label` for folder `path`; roots keep the order they are added in.
  TId AddRoot(std::string label, std::string path);
  const std::vector<TId>& Roots() const { return roots_; }

  /// Fills a node's subfolders on its first opening, sorted by name regardless of case; each
  /// takes the node's tick. A link or a node filled before is left alone.
  void Expand(TId id);
  /// Whether the node may have subfolders (not yet filled, or filled with some).
  bool CanExpand(TId id) const;
  bool Filled(TId id) const { return node(id).filled; }

  const std::vector<TId>& Children(TId id) const { return node(id).children; }
  TId Parent(TId id) const { return node(id).parent; }
  const std::string& Label(TId id) const { return node(id).label; }
  const std::string& Path(TId id) const { return node(id).path; }
  bool IsLink(TId id) const { return node(id).link; }
  /// The row of the node among its siblings (or among the roots).
  int Row(TId id) const;
  int Count() const { return static_cast<int>(nodes_.size()); }

  /// Left click: the node's tick flips (a mixed node becomes ticked) and every loaded node
  /// below it takes the new tick. Right click: only the node's own tick flips.
  void Click(TId id, bool left);
  bool Ticked(TId id) const { return node(id).ticked; }
  TTickState State(TId id) const;

  /// The paths of the ticked nodes, roots in order, each tree walked depth first.
  std::vector<std::string> TickedPaths() const;

 private:
  struct TNode {
    std::string label;
    std::string path;
    TId parent = kNoNode;
    std::vector<TId> children;
    bool filled = false;
    bool link = false;
    bool has_subfolders = true;
    bool ticked = false;
  };
  const TNode& node(TId id) const { return nodes_[static_cast<size_t>(id)]; }
  TNode& node(TId id) { return nodes_[static_cast<size_t>(id)]; }
  void SetBelow(TId id, bool ticked);
  void CollectTicked(TId id, std::vector<std::string>& out) const;

  TFolderSource* source_;
  std::vector<TNode> nodes_;
  std::vector<TId> roots_;
};

/// What the picker adds to a folder filter.
struct TPickedPatterns {
  std::vector<std::string> Patterns;
  /// Names that cannot be a pattern: ";" would split them into several, "*" and "?" would
  /// make them wildcards, and a line break or an edge blank would not survive the settings
  /// file. A root such as "/" has no name and gives nothing.
  std::vector<std::string> Skipped;
};
/// The last name of each path, as a folder pattern.
TPickedPatterns PatternsFromPaths(const std::vector<std::string>& paths);
/// Adds the patterns and tidies the filter.
void AddPickedPatterns(TFolderFilter& filter, const TPickedPatterns& picked);
/// The message that names the skipped folders; empty when none was skipped.
std::string SkippedNamesText(const TPickedPatterns& picked);

}  // namespace twn
