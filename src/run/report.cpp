#include "run/report.h"

#include <cstdio>

#include "engine/scan_info.h"
#include "platform/locale.h"
#include "platform/time.h"

namespace twn {

std::string GroupedNumber(int64_t value) {
  // Work on the magnitude as unsigned so that the most negative value stays exact.
  uint64_t magnitude = value < 0 ? 0 - static_cast<uint64_t>(value) : static_cast<uint64_t>(value);
  std::string digits = std::to_string(magnitude);
  std::string out;
  out.reserve(digits.size() + digits.size() / 3 + 1);
  if (value < 0) out += '-';
  for (size_t i = 0; i < digits.size(); ++i) {
    if (i > 0 && (digits.size() - i) % 3 == 0) out += ' ';
    out += digits[i];
  }
  return out;
}

std::string CountText(int64_t count) {
  return count == 0 ? "none" : GroupedNumber(count);
}

std::string CountWithBytes(int64_t count, int64_t bytes) {
  if (count == 0 && bytes == 0) return "none";
  return GroupedNumber(count) + " [" + GroupedNumber(bytes) + " bytes]";
}

std::string TimeStamp() {
  return platform::FormatDateTime(platform::Now());
}

TComparisonSummary ComparisonSummaryOf(const TClassCounters& c) {
  const auto of = [&c](int cls, int side) {
    return TCountBytes{c.count[cls], static_cast<int64_t>(c.bytes[cls][side])};
  };
  TComparisonSummary s;
  s.newer[kLeft] = of(ccLeftNewer, kLeft);
  s.newer[kRight] = of(ccLeftOlder, kRight);
  s.older[kLeft] = of(ccLeftOlder, kLeft);
  s.older[kRight] = of(ccLeftNewer, kRight);
  for (int side : {kLeft, kRight}) {
    s.unequal[side] = of(ccSameTime, side);
    s.equal[side] = of(ccEqual, side);
  }
  s.single[kLeft] = of(ccLeftSingle, kLeft);
  s.single[kRight] = of(ccRightSingle, kRight);
  return s;
}

TCountBytes TComparisonSummary::Total(int side) const {
  TCountBytes total;
  for (const TCountBytes* g : {newer, older, unequal, equal, single}) {
    total.count += g[side].count;
    total.bytes += g[side].bytes;
  }
  return total;
}

TPlanSummary PlanSummaryOf(const TPlanCounters& c) {
  const auto count = [&c](int action) { return c.count[action]; };
  const auto bytes = [&c](int action, int side) {
    return static_cast<int64_t>(c.bytes[action][side]);
  };
  TPlanSummary s;
  s.to_copy[kLeft] = {count(paCopyToRight) + count(paOverwriteRight),
                      bytes(paCopyToRight, kLeft) + bytes(paOverwriteRight, kLeft)};
  s.to_copy[kRight] = {count(paCopyToLeft) + count(paOverwriteLeft),
                       bytes(paCopyToLeft, kRight) + bytes(paOverwriteLeft, kRight)};
  s.to_delete[kLeft] = {count(paDeleteLeft) + count(paDeleteBoth),
                        bytes(paDeleteLeft, kLeft) + bytes(paDeleteBoth, kLeft)};
  s.to_delete[kRight] = {count(paDeleteRight) + count(paDeleteBoth),
                         bytes(paDeleteRight, kRight) + bytes(paDeleteBoth, kRight)};
  s.overwritten[kLeft] = {count(paOverwriteLeft), bytes(paOverwriteLeft, kLeft)};
  s.overwritten[kRight] = {count(paOverwriteRight), bytes(paOverwriteRight, kRight)};
  for (int side : {kLeft, kRight}) {
    s.to_create[side] = c.folders_to_create[side];
    s.to_remove[side] = c.folders_to_remove[side];
  }
  // What each side gains from copies and loses to deletions and overwrites.
  s.net_change[kLeft] = {count(paCopyToLeft) - count(paDeleteLeft) - count(paDeleteBoth),
                         bytes(paCopyToLeft, kRight) + bytes(paOverwriteLeft, kRight) -
                             bytes(paOverwriteLeft, kLeft) - bytes(paDeleteLeft, kLeft) -
                             bytes(paDeleteBoth, kLeft)};
  s.net_change[kRight] = {count(paCopyToRight) - count(paDeleteRight) - count(paDeleteBoth),
                          bytes(paCopyToRight, kLeft) + bytes(paOverwriteRight, kLeft) -
                              bytes(paOverwriteRight, kRight) - bytes(paDeleteRight, kRight) -
                              bytes(paDeleteBoth, kRight)};
  return s;
}

std::vector<std::string> HeadLines(std::string_view job_name, std::string_view stamp) {
  return {std::string(kSeparatorLine),
          "TWN job '" + std::string(job_name) + "' started at " + std::string(stamp), ""};
}

std::vector<std::string> TerminationLines(std::string_view job_name, std::string_view stamp) {
  return {"", "   *** The job '" + std::string(job_name) + "' was terminated ***",
          "Terminated at " + std::string(stamp), std::string(kSeparatorLine), ""};
}

namespace {

void AddGroup(std::vector<std::string>& lines, std::string_view title, const std::string& left,
              const std::string& right) {
  lines.emplace_back(title);
  lines.push_back("   on left side: " + left);
  lines.push_back("   on right side: " + right);
}

void AddGroup(std::vector<std::string>& lines, std::string_view title, const TCountBytes (&v)[2]) {
  AddGroup(lines, title, CountWithBytes(v[0].count, v[0].bytes),
           CountWithBytes(v[1].count, v[1].bytes));
}

}  // namespace

std::vector<std::string> ComparisonLines(const TComparisonSummary& s) {
  const TCountBytes total[2] = {s.Total(kLeft), s.Total(kRight)};
  std::vector<std::string> lines{"*** Comparison results ***"};
  const auto group = [&lines](std::string_view title, const TCountBytes(&v)[2]) {
    AddGroup(lines, title, v);
    lines.emplace_back();
  };
  group("Newer duplicates files:", s.newer);
  group("Older duplicates files:", s.older);
  group("Unequal files (same time):", s.unequal);
  group("Equal files by rules:", s.equal);
  group("Single files:", s.single);
  group("Total files:", total);
  return lines;
}

std::vector<std::string> PlanLines(const TPlanSummary& s) {
  std::vector<std::string> lines{"*** Synchronization plan ***"};
  AddGroup(lines, "Files to copy:", s.to_copy);
  lines.emplace_back();
  AddGroup(lines, "Files to delete:", s.to_delete);
  lines.emplace_back();
  AddGroup(lines, "Files to be overwritten:", s.overwritten);
  lines.emplace_back();
  AddGroup(lines, "Folders to create:", CountText(s.to_create[0]), CountText(s.to_create[1]));
  lines.emplace_back();
  AddGroup(lines, "Folders to remove:", CountText(s.to_remove[0]), CountText(s.to_remove[1]));
  lines.emplace_back();
  AddGroup(lines, "Total files changes:", s.net_change);
  return lines;
}

std::vector<std::string> ResultBlockLines(TResultBlock block, const TRunCounters& c) {
  switch (block) {
    case TResultBlock::kCreated:
      return {"Created folders:", "   left side: " + CountText(c.FoldersCreated[0]),
              "   right side: " + CountText(c.FoldersCreated[1]),
              "   errors creating folders: " +
                  CountText(int64_t{c.CreateErrors[0]} + c.CreateErrors[1])};
    case TResultBlock::kCopied:
      // The copy counters are kept by source side; a copy from the right goes to the left.
      return {
          "Copied files:", "   to left side: " + CountWithBytes(c.FilesCopied[1], c.BytesCopied[1]),
          "   to right side: " + CountWithBytes(c.FilesCopied[0], c.BytesCopied[0]),
          "   errors copying: " + CountText(int64_t{c.CopyErrors[0]} + c.CopyErrors[1])};
    case TResultBlock::kDeleted:
      return {
          "Deleted files:", "   left side: " + CountWithBytes(c.FilesDeleted[0], c.BytesDeleted[0]),
          "   right side: " + CountWithBytes(c.FilesDeleted[1], c.BytesDeleted[1]),
          "   errors deleting: " + CountText(int64_t{c.DeleteErrors[0]} + c.DeleteErrors[1])};
    case TResultBlock::kRemoved:
      return {"Removed folders:", "   left side: " + CountText(c.FoldersRemoved[0]),
              "   right side: " + CountText(c.FoldersRemoved[1]),
              "   errors removing folders: " +
                  CountText(int64_t{c.RemoveErrors[0]} + c.RemoveErrors[1])};
  }
  return {};
}

std::vector<std::string> ResultsLines(const TRunCounters& counters, std::string_view stamp) {
  std::vector<std::string> lines{"*** Synchronization results ***"};
  for (TResultBlock block : {TResultBlock::kCopied, TResultBlock::kDeleted, TResultBlock::kCreated,
                             TResultBlock::kRemoved}) {
    for (std::string& line : ResultBlockLines(block, counters)) lines.push_back(std::move(line));
    lines.emplace_back();
  }
  lines.push_back("Job completed " + std::string(stamp));
  lines.emplace_back(kSeparatorLine);
  lines.emplace_back();
  return lines;
}

}  // namespace twn
