#pragma once
// Folder listing in the shape the scanner is written against: one record per entry with its
// name, attribute word, 64-bit size and last-write file time.
//
// Regular files and folders are listed with their details. Symbolic links are never followed
// (so a scan can neither loop nor leave a pair's root), and sockets, FIFOs and devices are never
// opened (opening a FIFO would block a run): they come as `other` entries, which a scan counts
// but does not record. A lister that keeps links lists a link as itself instead: its own time,
// kAttrLink, and its target text through ReadLink. "." and ".." are listed like any folder so that
// callers apply their own skip rule.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "platform/fs.h"
#include "platform/time.h"
#include "platform/unique_fd.h"

namespace twn::platform {

struct TListEntry {
  /// Valid until the next call of TDirLister::Next or Open.
  std::string_view name;
  uint32_t attributes = 0;
  uint64_t size = 0;
  TFileTime last_write = 0;
  /// A link, FIFO, socket or device: only the name is valid.
  bool other = false;
  /// A link listed as itself (a lister that keeps links): `size` is the length of its target
  /// text, `last_write` the link's own time.
  bool link = false;

  bool IsDirectory() const { return (attributes & kAttrDirectory) != 0; }
};

/// Opens a folder (a path without a trailing separator) for listing as TDirLister::Open does;
/// errno in `error` on failure.
TUniqueFd OpenFolder(const std::string& path, bool follow_last, TError& error);

/// Lists one folder at a time through a buffer it keeps between folders, so listing a whole
/// tree allocates nothing per folder or name.
class TDirLister {
 public:
  /// With `folder_details` off, folders are reported without a status query: their size and
  /// time are 0 and their attribute word is the directory bit (plus hidden for a leading dot).
  /// The scanner needs nothing more of a folder and saves one system call per folder.
  explicit TDirLister(bool folder_details = true);
  /// With `links` on, links come as `link` entries rather than `other` ones.
  void KeepLinks(bool links) { links_ = links; }

  /// Reads the target text of a `link` entry of the listing into `buffer`, never past it;
  /// `length` receives its size. ENAMETOOLONG when it does not fit.
  TError ReadLink(const TListEntry& entry, char* buffer, size_t capacity, size_t& length) const;
  /// The last-write time, permission bits and owner of the folder open for listing.
  TError FolderStatus(TCarriedStatus& status) const;

  /// Opens a folder for listing. Links in the path are followed, except, with `follow_last`
  /// off, a link at its end. Paths longer than PATH_MAX are opened a folder at a time. False
  /// when it cannot be listed (missing, not a folder, no access); Error() then tells why.
  bool Open(std::string_view path, bool follow_last = true);
  /// The next entry; false at the end of the listing or when it failed part-way (Error() is
  /// then not 0). An entry that vanishes between listing and query is passed over; one whose
  /// status cannot be read for another reason fails the listing, since the folder can then
  /// not be seen whole.
  bool Next(TListEntry& entry);
  /// Closes the folder; also done by Open and on destruction.
  void Close();
  /// errno of the last failed Open or read; 0 if none.
  TError Error() const { return error_; }

 private:
  bool Fill();
  static bool Other(TListEntry& entry);

  bool folder_details_;
  bool links_ = false;
  TUniqueFd fd_;
  std::string path_;
  std::unique_ptr<char[]> buffer_;
  size_t fill_ = 0;
  size_t pos_ = 0;
  TError error_ = 0;
};

}  // namespace twn::platform
