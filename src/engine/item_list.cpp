// Read access to the tables of TScanInfo: entries, pair roots, comparison items, plan entries.
#include <algorithm>

#include "engine/scan_info.h"

namespace twn {

// --- TScanInfo entries and pair roots --------------------------------------------------------

const TFolderEntry* TScanInfo::Folder(int32_t i) const {
  return folders_.InRange(i) ? &folders_[i] : nullptr;
}

const TFileEntry* TScanInfo::File(int32_t i) const {
  return files_.InRange(i) ? &files_[i] : nullptr;
}

std::string_view TScanInfo::FileName(int32_t i) const {
  const TFileEntry* f = File(i);
  return f ? pool_.View(f->name_offset, f->name_length) : std::string_view();
}

std::string_view TScanInfo::LinkTarget(int32_t i) const {
  const TFileEntry* f = File(i);
  if (!f || !(f->attributes & platform::kAttrLink)) return {};
  return pool_.View(f->name_offset + f->name_length + 1, static_cast<uint32_t>(f->size));
}

std::string_view TScanInfo::FileExtension(int32_t i) const {
  const TFileEntry* f = File(i);
  if (!f) return {};
  return pool_.View(f->name_offset + f->ext_start, f->name_length - f->ext_start);
}

std::string_view TScanInfo::FolderPathOf(int32_t i) const {
  const TFolderEntry* f = Folder(i);
  return f ? pool_.View(f->path_offset, f->path_length) : std::string_view();
}

std::string_view TScanInfo::FolderRelativePath(int32_t i) const {
  const TFolderEntry* f = Folder(i);
  return f ? pool_.View(f->rel_offset, f->rel_length) : std::string_view();
}

const TPairRootEntry* TScanInfo::PairRoot(int32_t pair) const {
  // Pairs are appended in order, so the entry is nearly always at its own position.
  if (pair_roots_.InRange(pair) && pair_roots_[pair].pair == pair) return &pair_roots_[pair];
  for (const TPairRootEntry& root : pair_roots_)
    if (root.pair == pair) return &root;
  return nullptr;
}

TPairRootEntry* TScanInfo::PairRoot(int32_t pair) {
  return const_cast<TPairRootEntry*>(std::as_const(*this).PairRoot(pair));
}

std::string_view TScanInfo::RootPath(int32_t pair, int side) const {
  const TPairRootEntry* root = PairRoot(pair);
  if (!root || (side != kLeft && side != kRight)) return {};
  return pool_.View(root->offset[side], root->length[side]);
}

bool TScanInfo::RootExists(int32_t pair, int side) const {
  const TPairRootEntry* root = PairRoot(pair);
  return root && (side == kLeft || side == kRight) && root->exists[side];
}

int32_t TScanInfo::DroppedByMissingRoot(int32_t pair) const {
  const TPairRootEntry* root = PairRoot(pair);
  return root ? root->dropped : 0;
}

std::string TScanInfo::MissingRootLine(int32_t pair) const {
  const TPairRootEntry* root = PairRoot(pair);
  if (!root || (root->exists[kLeft] && root->exists[kRight])) return {};
  std::string line;
  for (int side : {kLeft, kRight}) {
    if (root->exists[side]) continue;
    if (!line.empty()) line += "; ";
    line += "Folder '" + std::string(RootPath(pair, side)) + "' does not exist";
  }
  return line + ": nothing is deleted or removed in this folder pair";
}

// --- TItemList --------------------------------------------------------------------------------

namespace {
constexpr std::string_view kNoName = "?name";
constexpr std::string_view kNoValue = "no value";
bool ValidSide(int side) {
  return side == kLeft || side == kRight;
}
}  // namespace

int32_t TItemList::Count() const {
  return order_ ? order_->Count() : items_->Count();
}

const TCompareItem* TItemList::Item(int32_t i) const {
  if (order_) return order_->InRange(i) ? &(*items_)[(*order_)[i]] : nullptr;
  return items_->InRange(i) ? &(*items_)[i] : nullptr;
}

bool TItemList::IsFolder(int32_t i) const {
  const TCompareItem* it = Item(i);
  return it && !it->is_file;
}

bool TItemList::IsFile(int32_t i) const {
  const TCompareItem* it = Item(i);
  return it && it->is_file;
}

int TItemList::Class(int32_t i) const {
  const TCompareItem* it = Item(i);
  return it ? it->cls : 0;
}

int TItemList::Action(int32_t i) const {
  const TCompareItem* it = Item(i);
  return it ? it->action : 0;
}

int32_t TItemList::Group(int32_t i) const {
  const TCompareItem* it = Item(i);
  return it ? info_->ItemGroup(*it) : -1;
}

uint32_t TItemList::Flags(int32_t i) const {
  const TCompareItem* it = Item(i);
  return it ? it->flags : 0;
}

bool TItemList::IsRoot(int32_t i) const {
  const TCompareItem* it = Item(i);
  return it && it->root_mark;
}

int32_t TItemList::Index(int32_t i, int side) const {
  const TCompareItem* it = Item(i);
  return it && ValidSide(side) ? it->index[side] : -1;
}

int32_t TItemList::Pair(int32_t i) const {
  const int32_t folder = FolderOf(i, kLeft) >= 0 ? FolderOf(i, kLeft) : FolderOf(i, kRight);
  return folder >= 0 ? info_->folders_[folder].pair : -1;
}

const TFileEntry* TItemList::File(int32_t i, int side) const {
  return IsFile(i) ? info_->File(Index(i, side)) : nullptr;
}

int32_t TItemList::FolderOf(int32_t i, int side) const {
  const int32_t entry = Index(i, side);
  if (entry < 0) return -1;
  return IsFile(i) ? info_->files_[entry].folder : entry;
}

std::string_view TItemList::FileName(int32_t i, int side) const {
  const TFileEntry* f = File(i, side);
  return f ? info_->pool_.View(f->name_offset, f->name_length) : kNoName;
}

int64_t TItemList::FileSize(int32_t i, int side, bool* present) const {
  const TFileEntry* f = File(i, side);
  if (present) *present = f != nullptr;
  return f ? static_cast<int64_t>(f->size) : -1;
}

platform::TFileTime TItemList::FileTime(int32_t i, int side) const {
  const TFileEntry* f = File(i, side);
  return f ? f->time : 0;
}

uint32_t TItemList::FileAttributes(int32_t i, int side) const {
  const TFileEntry* f = File(i, side);
  return f ? f->attributes : 0;
}

bool TItemList::IsLink(int32_t i, int side) const {
  return (FileAttributes(i, side) & platform::kAttrLink) != 0;
}

std::string_view TItemList::LinkTarget(int32_t i, int side) const {
  return IsFile(i) ? info_->LinkTarget(Index(i, side)) : std::string_view();
}

uint32_t TItemList::FileFlags(int32_t i, int side) const {
  return File(i, side) ? Flags(i) : 0;
}

TFolderPath TItemList::FolderPath(int32_t i, int side) const {
  if (!Item(i) || !ValidSide(side)) return {std::string(kNoValue), false};
  const int32_t own = FolderOf(i, side);
  auto root_length = [this](int32_t f) {
    return info_->folders_[f].path_length - info_->folders_[f].rel_length;
  };
  if (own >= 0) return {std::string(info_->FolderPathOf(own)), false, root_length(own)};
  // Absent here. Names may differ in case between the sides (Music and MUSIC are one folder),
  // so start from the nearest folder that exists here, spelt as it is here, and add the rest
  // of the other side's relative path below it.
  const int32_t other = FolderOf(i, 1 - side);
  const std::string_view rel = info_->FolderRelativePath(other);
  const int32_t matched = info_->NearestMatched(other);
  const int32_t partner = info_->folders_[matched].partner;
  if (partner < 0) {  // not even the roots are a couple: fall back to this side's root
    const std::string_view root = info_->RootPath(info_->folders_[other].pair, side);
    return {std::string(root).append(rel), true, static_cast<uint32_t>(root.size())};
  }
  const std::string_view below = rel.substr(info_->folders_[matched].rel_length);
  // A file item whose folder is matched has its folder here; only the file is missing.
  return {std::string(info_->FolderPathOf(partner)).append(below), matched != other,
          root_length(partner)};
}

TFolderPath TItemList::FilePath(int32_t i, int side) const {
  if (!IsFile(i) || !ValidSide(side)) return {std::string(kNoValue), false};
  TFolderPath path = FolderPath(i, side);
  const int named = Index(i, side) >= 0 ? side : 1 - side;
  path.path.append(FileName(i, named));
  path.missing = path.missing || Index(i, side) < 0;
  return path;
}

std::string_view TItemList::RelativePath(int32_t i) const {
  const int32_t left = FolderOf(i, kLeft);
  return info_->FolderRelativePath(left >= 0 ? left : FolderOf(i, kRight));
}

bool TItemList::FolderExists(int32_t i, int side) const {
  const int32_t folder = FolderOf(i, side);
  return folder >= 0 && info_->folders_[folder].exists;
}

uint64_t TItemList::LargestFileSize(int side) const {
  uint64_t largest = 0;
  for (int32_t i = 0; i < Count(); ++i)
    if (const TFileEntry* f = File(i, side)) largest = std::max(largest, f->size);
  return largest;
}

}  // namespace twn
