#include "windows/visual_run.h"

#include "run/report.h"

namespace twn {
namespace {

const std::array<TPhaseLayout, kVisualPhaseCount> kLayouts = {{
    {"Do compare", 1, "", 0, 2, 3, false, " Tips ", gvComparison},
    {"&Terminate comparison", 4, "", 0, 5, 6, false, " Comparison progress info ", gvComparison},
    {"Preview synchronization", 8, "Recompare", 7, 9, 10, false, " Statistics ", gvComparison},
    {"Do synchronization", 11, "Back to compare", 12, 13, 14, false, " Statistics of changes ",
     gvPreview},
    {"&Terminate sync", 15, "", 0, 16, 17, false, " Synchronization progress ", gvLog},
    {"", 0, "", 0, 18, 19, true, " Synchronization complete ", gvLog},
}};

constexpr std::array<int, kVisualPhaseCount> kHelpTags = {2, 5, 9, 13, 16, 18};

std::string KbInFiles(uint64_t bytes, int64_t files) {
  return GroupedNumber(static_cast<int64_t>(bytes >> 10)) + " Kb in " + GroupedNumber(files) +
         " files";
}

std::string Join(std::string_view format_head, int64_t value) {
  return std::string(format_head) + " " + std::to_string(value);
}

int64_t Sum(int32_t a, int32_t b) {
  return int64_t{a} + b;
}

TStatRow StatRow(const char* caption, const TCountBytes (&v)[2]) {
  return {caption, CountWithBytes(v[kLeft].count, v[kLeft].bytes),
          CountWithBytes(v[kRight].count, v[kRight].bytes)};
}

}  // namespace

const TPhaseLayout& PhaseLayout(int phase) {
  if (phase < vpReady || phase > vpDone) phase = vpReady;
  return kLayouts[phase - 1];
}

TVisualCommand CommandOfTag(int tag) {
  switch (tag) {
    case 1:
    case 7:
      return vcCompare;
    case 4:
    case 15:
      return vcStop;
    case 8:
      return vcPreview;
    case 11:
      return vcSynchronize;
    case 12:
      return vcBackToCompare;
    case 3:
    case 6:
    case 10:
    case 14:
    case 19:
      return vcClose;
    case 17:
      return vcStopAndClose;
    case kQuickInfoTag:
      return vcQuickInfo;
    default:
      return HelpPageOfTag(tag).empty() ? vcNothing : vcHelp;
  }
}

std::string HelpPageOfTag(int tag) {
  for (int phase = 1; phase <= kVisualPhaseCount; ++phase)
    if (kHelpTags[phase - 1] == tag) return "visual_run_" + std::to_string(phase) + ".html";
  return {};
}

std::string_view GridCaption(TGridView view) {
  switch (view) {
    case gvPreview:
      return "Synchronization preview";
    case gvLog:
      return "Synchronization log";
    case gvComparison:
      break;
  }
  return "Comparison table";
}

std::string_view PhaseStatusText(int phase) {
  switch (phase) {
    case vpReady:
      return "Push the button <Do compare> to start comparison";
    case vpComparing:
      return "Scanning folders...";
    case vpSynchronizing:
      return "Synchronizing...";
    default:
      return {};
  }
}

std::string VisualRunCaption(std::string_view job_name) {
  return std::string(kVisualRunCaption) + " for the job '" + std::string(job_name) + "'";
}

std::array<std::string, 2> ComparisonTotalsPanels(const TClassCounters& c) {
  std::array<std::string, 2> panels;
  for (int side : {kLeft, kRight}) {
    const int single = side == kLeft ? ccLeftSingle : ccRightSingle;
    int64_t files = c.count[single];
    uint64_t bytes = c.bytes[single][side];
    for (int cls : {ccLeftNewer, ccLeftOlder, ccSameTime, ccEqual}) {
      files += c.count[cls];
      bytes += c.bytes[cls][side];
    }
    panels[side] = KbInFiles(bytes, files);
  }
  return panels;
}

std::array<std::string, 2> PlanTotalsPanels(const TPlanCounters& c) {
  return {KbInFiles(c.bytes_with_side[kLeft], c.files_with_side[kLeft]),
          KbInFiles(c.bytes_with_side[kRight], c.files_with_side[kRight])};
}

std::string CompletedStatus(int64_t operations, int64_t errors) {
  return "Synchronization is completed: " + GroupedNumber(operations) +
         " operation were performed with " + GroupedNumber(errors) + " errors ";
}

int64_t ProgressErrors(const TJobSafeProgress& p) {
  return Sum(p.CopyErrorsLeft, p.CopyErrorsRight) + Sum(p.DeleteErrorsLeft, p.DeleteErrorsRight) +
         Sum(p.CreateErrorsLeft, p.CreateErrorsRight) +
         Sum(p.RemoveErrorsLeft, p.RemoveErrorsRight);
}

std::vector<TStatRow> ComparisonStatRows(const TClassCounters& counters) {
  const TComparisonSummary s = ComparisonSummaryOf(counters);
  const TCountBytes total[2] = {s.Total(kLeft), s.Total(kRight)};
  std::vector<TStatRow> rows;
  const auto row = [&rows](const char* caption, const TCountBytes(&v)[2]) {
    rows.push_back(StatRow(caption, v));
  };
  row("Newer duplicates files", s.newer);
  row("Older duplicates files", s.older);
  row("Unequal files (same time)", s.unequal);
  row("Equal files by rules", s.equal);
  row("Single files", s.single);
  row("Total files", total);
  return rows;
}

std::vector<TStatRow> ChangeStatRows(const TPlanCounters& counters) {
  const TPlanSummary s = PlanSummaryOf(counters);
  std::vector<TStatRow> rows;
  const auto row = [&rows](const char* caption, const TCountBytes(&v)[2]) {
    rows.push_back(StatRow(caption, v));
  };
  row("Files to copy", s.to_copy);
  row("Files to delete", s.to_delete);
  row("Files to be overwritten", s.overwritten);
  row("Total files changes", s.net_change);
  rows.push_back(
      {"Folders to create", CountText(s.to_create[kLeft]), CountText(s.to_create[kRight])});
  rows.push_back(
      {"Folders to remove", CountText(s.to_remove[kLeft]), CountText(s.to_remove[kRight])});
  return rows;
}

std::array<std::string, 6> ScanProgressLabels(const TJobSafeProgress* p) {
  static constexpr std::array<std::string_view, 6> kCaptions = {
      "Total folders scanned:", "Left folders:", "Right folders:",
      "Total files found:",     "Left files:",   "Right files:"};
  std::array<std::string, 6> labels;
  for (size_t i = 0; i < labels.size(); ++i) labels[i] = std::string(kCaptions[i]);
  if (p == nullptr) return labels;
  const std::array<int32_t, 6> values = {p->FoldersTotal,        p->FoldersScannedLeft,
                                         p->FoldersScannedRight, p->FilesTotal,
                                         p->FilesFoundLeft,      p->FilesFoundRight};
  for (size_t i = 0; i < labels.size(); ++i) labels[i] = Join(kCaptions[i], values[i]);
  return labels;
}

std::array<TProgressLine, 4> SyncProgressLines(const TJobSafeProgress& p,
                                               const TPlanCounters& plan) {
  const TPlanSummary s = PlanSummaryOf(plan);
  const int64_t copied = Sum(p.FilesCopiedLeft, p.FilesCopiedRight);
  const int64_t copy_errors = Sum(p.CopyErrorsLeft, p.CopyErrorsRight);
  const int64_t deleted = Sum(p.FilesDeletedLeft, p.FilesDeletedRight);
  const int64_t delete_errors = Sum(p.DeleteErrorsLeft, p.DeleteErrorsRight);
  const int64_t created = Sum(p.FoldersCreatedLeft, p.FoldersCreatedRight);
  const int64_t create_errors = Sum(p.CreateErrorsLeft, p.CreateErrorsRight);
  const int64_t removed = Sum(p.FoldersRemovedLeft, p.FoldersRemovedRight);
  const int64_t remove_errors = Sum(p.RemoveErrorsLeft, p.RemoveErrorsRight);
  const auto n = [](int64_t v) { return std::to_string(v); };
  return {{
      {"Copy:",
       "Copying files: " + n(p.KbCopied) + " of " + n(p.KbToCopy) + " Kb copied in " + n(copied) +
           " of " + n(p.FilesToCopy) + " files with " + n(copy_errors) + " errors",
       p.KbCopied, (s.to_copy[kLeft].bytes + s.to_copy[kRight].bytes) >> 10},
      {"Delete:",
       "Deleting files: " + n(deleted) + " of " + n(p.FilesToDelete) + " deleted with " +
           n(delete_errors) + " errors",
       deleted + delete_errors,
       plan.count[paDeleteLeft] + plan.count[paDeleteRight] + 2 * plan.count[paDeleteBoth]},
      {"Create:",
       "Creating folders: " + n(created) + " of " + n(p.FoldersToCreate) + " created with " +
           n(create_errors) + " errors",
       created + create_errors, s.to_create[kLeft] + s.to_create[kRight]},
      {"Remove:",
       "Removing folders: " + n(removed) + " of " + n(p.FoldersToRemove) + " removed with " +
           n(remove_errors) + " errors",
       removed + remove_errors, s.to_remove[kLeft] + s.to_remove[kRight]},
  }};
}

std::array<TCompletionRow, 4> CompletionRows(const TJobSafeProgress& p) {
  // As in the report, a copy is counted on the side it arrives at; the record keeps copies by
  // the side they were read from.
  const auto bytes = [](int32_t high, int32_t low) { return Join32(high, low); };
  return {{
      {"Copied files:",
       CountWithBytes(p.FilesCopiedRight, bytes(p.BytesCopiedRightHigh, p.BytesCopiedRightLow)),
       CountWithBytes(p.FilesCopiedLeft, bytes(p.BytesCopiedLeftHigh, p.BytesCopiedLeftLow)),
       CountText(Sum(p.CopyErrorsLeft, p.CopyErrorsRight))},
      {"Deleted files:",
       CountWithBytes(p.FilesDeletedLeft, bytes(p.BytesDeletedLeftHigh, p.BytesDeletedLeftLow)),
       CountWithBytes(p.FilesDeletedRight, bytes(p.BytesDeletedRightHigh, p.BytesDeletedRightLow)),
       CountText(Sum(p.DeleteErrorsLeft, p.DeleteErrorsRight))},
      {"Created folders:", CountText(p.FoldersCreatedLeft), CountText(p.FoldersCreatedRight),
       CountText(Sum(p.CreateErrorsLeft, p.CreateErrorsRight))},
      {"Removed folders:", CountText(p.FoldersRemovedLeft), CountText(p.FoldersRemovedRight),
       CountText(Sum(p.RemoveErrorsLeft, p.RemoveErrorsRight))},
  }};
}

}  // namespace twn
