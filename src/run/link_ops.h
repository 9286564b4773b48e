#pragma once
// File operations on symbolic links and folder times. A link is copied as a link and never
// followed; folder times are set on the folder itself, never through a link below the root.
#include <string>
#include <string_view>

#include "platform/below_root.h"
#include "platform/fs.h"
#include "platform/time.h"
#include "run/file_ops.h"

namespace twn {

struct TLinkOutcome {
  platform::TError error = 0;
  /// The error belongs to the source (else to the target).
  bool on_source = true;
  /// The source is no longer a link (a file or folder took its place since the scan).
  bool not_a_link = false;
  /// The target text copied: the source's as it is now, which may differ from the scan's.
  std::string target_text;
};

/// Copies the link `source` over `target` as a new link with the same target text and the
/// source's own times, made beside the target under a temporary name and renamed over it, so a
/// failure leaves the old target as it was. Whatever is at the target (a file or a link) is
/// replaced; a folder there is not (EISDIR). A source that is no longer a link is not copied.
TLinkOutcome CopyOneLink(TCopyEnd source, TCopyEnd target);

/// The error a file system without links answers (vfat, some network shares).
bool IsNoLinksError(platform::TError error);

/// Sets a folder's last-write time to `from.time` (its last-access time stays); a folder the
/// run `created` also takes the permission bits of `from` and, run as root, its owner, as a
/// file copy does. The root is reached as given; below it, a link in the folder's place has
/// its own time set, never its pointee's, and no bits.
platform::TError CarryFolderStatus(platform::TRootedPath folder,
                                   const platform::TCarriedStatus& from, bool created,
                                   TSideFolders& folders);

}  // namespace twn
