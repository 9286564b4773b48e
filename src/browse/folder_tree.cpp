#include "browse/folder_tree.h"

#include <algorithm>
#include <set>
#include <sstream>

#include "model/job_data.h"
#include "platform/fs.h"
#include "platform/listing.h"
#include "platform/locale.h"

namespace twn {

namespace {

// Stops at the first folder found: the view only needs to know whether to offer opening.
bool HasSubfolder(platform::TDirLister& lister, const std::string& path) {
  if (!lister.Open(path, false)) return false;
  platform::TListEntry entry;
  while (lister.Next(entry))
    if (entry.IsDirectory() && entry.name != "." && entry.name != "..") return true;
  return false;
}

}  // namespace

std::vector<TFolderChild> TDiskFolderSource::Subfolders(const std::string& path) {
  std::vector<TFolderChild> out;
  platform::TDirLister lister(false);
  if (!lister.Open(path)) return out;
  platform::TListEntry entry;
  const std::string base = path.ends_with(platform::kSep) ? path : path + platform::kSep;
  while (lister.Next(entry)) {
    if (entry.name == "." || entry.name == "..") continue;
    if (entry.IsDirectory()) {
      out.push_back({std::string(entry.name), false});
    } else if (entry.other && platform::DirectoryExists(base + std::string(entry.name))) {
      // Only a link can be "other" and still lead to a folder.
      out.push_back({std::string(entry.name), true});
    }
  }
  lister.Close();
  for (TFolderChild& child : out)
    if (!child.link) child.has_subfolders = HasSubfolder(lister, base + child.name);
  return out;
}

namespace {

// Mount points come with blanks, tabs, newlines and backslashes written as octal escapes.
std::string UnescapeMount(std::string_view text) {
  std::string out;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\\' && i + 3 < text.size()) {
      const std::string_view digits = text.substr(i + 1, 3);
      if (std::all_of(digits.begin(), digits.end(), [](char c) { return c >= '0' && c <= '7'; })) {
        out += static_cast<char>(std::stoi(std::string(digits), nullptr, 8));
        i += 3;
        continue;
      }
    }
    out += text[i];
  }
  return out;
}

bool PseudoFileSystem(const std::string& type, const std::string& point) {
  static const std::set<std::string> kPseudo = {
      "proc",        "sysfs",   "devtmpfs",    "devpts",   "tmpfs",
      "cgroup",      "cgroup2", "pstore",      "bpf",      "securityfs",
      "debugfs",     "tracefs", "configfs",    "fusectl",  "mqueue",
      "hugetlbfs",   "autofs",  "binfmt_misc", "efivarfs", "rpc_pipefs",
      "nsfs",        "ramfs",   "squashfs",    "overlay",  "fuse.gvfsd-fuse",
      "fuse.portal", "nfsd"};
  for (std::string_view system : {"/proc", "/sys", "/dev", "/run/user", "/snap"})
    if (point == system || point.starts_with(std::string(system) + "/")) return true;
  return kPseudo.count(type) != 0;
}

}  // namespace

std::vector<std::string> VolumeMountPoints(std::string_view mounts_text) {
  std::vector<std::string> points;
  std::istringstream lines{std::string(mounts_text)};
  std::string line;
  while (std::getline(lines, line)) {
    std::istringstream fields(line);
    std::string device, point, type;
    if (!(fields >> device >> point >> type)) continue;
    point = UnescapeMount(point);
    if (point == "/" || PseudoFileSystem(type, point)) continue;
    if (std::find(points.begin(), points.end(), point) == points.end()) points.push_back(point);
  }
  return points;
}

std::vector<std::string> PickerRootFolders(const std::string& home, std::string_view mounts_text) {
  std::vector<std::string> roots;
  if (!home.empty()) roots.push_back(home);
  if (home != "/") roots.emplace_back("/");
  for (std::string& point : VolumeMountPoints(mounts_text))
    if (point != home && platform::DirectoryExists(point)) roots.push_back(std::move(point));
  return roots;
}

TFolderTree::TId TFolderTree::AddRoot(std::string label, std::string path) {
  const auto id = static_cast<TId>(nodes_.size());
  TNode n;
  n.label = std::move(label);
  n.path = std::move(path);
  nodes_.push_back(std::move(n));
  roots_.push_back(id);
  return id;
}

void TFolderTree::Expand(TId id) {
  if (node(id).filled || node(id).link) return;
  node(id).filled = true;
  std::vector<TFolderChild> found = source_->Subfolders(node(id).path);
  std::sort(found.begin(), found.end(), [](const TFolderChild& a, const TFolderChild& b) {
    const std::string ua = platform::UpperCase(a.name), ub = platform::UpperCase(b.name);
    return ua != ub ? ua < ub : a.name < b.name;
  });
  const std::string& path = node(id).path;
  const std::string base = path.ends_with(platform::kSep) ? path : path + platform::kSep;
  const bool ticked = node(id).ticked;
  for (TFolderChild& child : found) {
    const auto child_id = static_cast<TId>(nodes_.size());
    TNode n;
    n.label = child.name;
    n.path = base + child.name;
    n.parent = id;
    n.link = child.link;
    n.has_subfolders = child.has_subfolders;
    n.ticked = ticked;
    nodes_.push_back(std::move(n));  // may move the parent: no references held across this
    node(id).children.push_back(child_id);
  }
}

bool TFolderTree::CanExpand(TId id) const {
  const TNode& n = node(id);
  return !n.link && (n.filled ? !n.children.empty() : n.has_subfolders);
}

int TFolderTree::Row(TId id) const {
  const TId parent = node(id).parent;
  const std::vector<TId>& siblings = parent == kNoNode ? roots_ : node(parent).children;
  return static_cast<int>(std::find(siblings.begin(), siblings.end(), id) - siblings.begin());
}

void TFolderTree::SetBelow(TId id, bool ticked) {
  node(id).ticked = ticked;
  for (TId child : node(id).children) SetBelow(child, ticked);
}

void TFolderTree::Click(TId id, bool left) {
  if (!left) {
    node(id).ticked = !node(id).ticked;
    return;
  }
  SetBelow(id, State(id) == tkMixed ? true : !node(id).ticked);
}

TTickState TFolderTree::State(TId id) const {
  const TNode& n = node(id);
  // Mixed when the loaded subfolders are not all alike or one of them is mixed itself.
  for (TId child : n.children) {
    const TTickState s = State(child);
    if (s == tkMixed || s != State(n.children.front())) return tkMixed;
  }
  return n.ticked ? tkTicked : tkCleared;
}

void TFolderTree::CollectTicked(TId id, std::vector<std::string>& out) const {
  if (node(id).ticked) out.push_back(node(id).path);
  for (TId child : node(id).children) CollectTicked(child, out);
}

std::vector<std::string> TFolderTree::TickedPaths() const {
  std::vector<std::string> out;
  for (TId root : roots_) CollectTicked(root, out);
  return out;
}

TPickedPatterns PatternsFromPaths(const std::vector<std::string>& paths) {
  TPickedPatterns picked;
  for (const std::string& path : paths) {
    std::string_view name = path;
    while (name.size() > 1 && name.ends_with(platform::kSep)) name.remove_suffix(1);
    if (const size_t slash = name.rfind(platform::kSep); slash != std::string_view::npos)
      name.remove_prefix(slash + 1);
    if (name.empty()) continue;
    const bool unusable = name.find_first_of(";*?") != std::string_view::npos ||
                          HasLineBreak(name) || HasEdgeBlanks(name);
    (unusable ? picked.Skipped : picked.Patterns).emplace_back(name);
  }
  return picked;
}

void AddPickedPatterns(TFolderFilter& filter, const TPickedPatterns& picked) {
  for (const std::string& pattern : picked.Patterns) filter.AddPattern(pattern);
  filter.Normalize();
}

std::string SkippedNamesText(const TPickedPatterns& picked) {
  if (picked.Skipped.empty()) return {};
  std::string text =
      "These folder names hold a character that a pattern cannot take literally (\";\", \"*\", "
      "\"?\", a line break or a blank at either end) and were not added:";
  for (const std::string& name : picked.Skipped) text += "\n" + name;
  return text;
}

}  // namespace twn
