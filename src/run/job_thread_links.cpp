// The worker's link copies and folder times.
#include <cerrno>

#include "run/job_thread.h"
#include "run/link_ops.h"
#include "run/report.h"

namespace twn {

bool TJobThread::CopyLink(const std::string& source, const std::string& target,
                          const TCopyEnd& from, const TCopyEnd& to, int side) {
  const TLinkOutcome r = CopyOneLink(from, to);
  if (r.error == 0) {
    ++counters_.FilesCopied[side];
    counters_.BytesCopied[side] += int64_t(r.target_text.size());
    OperationOk("Ok Copying link: '" + source + "' -> '" + target);
    return true;
  }
  ++counters_.CopyErrors[side];
  std::string why = platform::ErrorText(r.error);
  if (r.not_a_link)
    why = "No longer a link (changed since the scan; left for the next run)";
  else if (!r.on_source && IsNoLinksError(r.error))
    why += " (the file system may not hold symbolic links)";
  const std::string text = "error Copying link: '" + source + "' -> '" + target;
  OperationFailed(text, "   *** " + why + " *** for '" + (r.on_source ? source : target) + "'",
                  text);
  return false;
}

void TJobThread::Touch(const TItemList& plan, int32_t i, int side, bool parent) {
  int32_t group = plan.Group(i);
  if (parent) group = scan_.ParentGroup(group);
  if (group >= 0 && size_t(group) < touched_.size()) touched_[size_t(group)] |= uint8_t(1u << side);
}

void TJobThread::CarryFolderTimes() {
  if (touched_.empty()) return;
  const TItemList items = scan_.Items();
  TSideFolders folders[2];
  for (const TFolderTimeTarget& t : scan_.FolderTimeTargets(touched_)) {
    const TFolderPath folder = items.FolderPath(t.item, t.side);
    if (folder.path.empty()) continue;
    const platform::TError e =
        CarryFolderStatus({folder.path, folder.root_length}, t.from, t.created, folders[t.side]);
    if (e != 0 && e != ENOENT)  // a folder that could not be created was reported then
      FullAndError(TimeStamp() + " - error Folder time or permissions: " + platform::ErrorText(e) +
                   ": '" + folder.path);
  }
}

}  // namespace twn
