#include "windows/visual_run_grid.h"

#include <algorithm>

#include "platform/locale.h"
#include "platform/time.h"
#include "run/report.h"

namespace twn {
namespace {

constexpr std::array<std::string_view, kSideColumns> kSideHeaders = {"Name", "Ext", "Size", "Date",
                                                                     "Attr"};
enum TField : int { fName, fExt, fSize, fDate, fAttr };

constexpr std::array<int, 13> kClassImages = {-1, 0, 1, 2, 3, 4, -1, 8, 8, 8, 8, 8, 8};
constexpr std::array<int, kActionCount> kActionImages = {0,  4,  5,  3, 1, 2,  7, 6,
                                                         10, 11, 14, 8, 9, 12, 13};

int64_t Distance(platform::TFileTime a, platform::TFileTime b) {
  return a > b ? a - b : b - a;
}

}  // namespace

int SideOfColumn(int column) {
  if (column >= gcLeftName && column <= gcLeftAttr) return kLeft;
  if (column >= gcRightName && column <= gcRightAttr) return kRight;
  return -1;
}

int FieldOfColumn(int column) {
  const int side = SideOfColumn(column);
  if (side < 0) return -1;
  return side == kLeft ? column : column - gcRightName;
}

std::string GridHeaderText(int column, bool sorted) {
  std::string text;
  if (column == gcSign)
    text = "Sign";
  else if (FieldOfColumn(column) >= 0)
    text = std::string(kSideHeaders[FieldOfColumn(column)]);
  else
    return "???";
  return sorted ? " " + text : text;
}

bool IsSortedColumn(int column, const TSortSettings& sort) {
  const int field = FieldOfColumn(column);
  return field >= fName && field <= fDate && field == sort.key &&
         (SideOfColumn(column) == kLeft) == sort.prefer_left;
}

std::string DisplayName(std::string_view name) {
  std::string shown(name);
  for (char c : name)
    if (static_cast<unsigned char>(c) >= 97) return shown;
  for (size_t i = 1; i < shown.size(); ++i)
    if (shown[i] >= 'A' && shown[i] <= 'Z') shown[i] = static_cast<char>(shown[i] - 'A' + 'a');
  return shown;
}

std::string_view NamePart(std::string_view name) {
  const size_t dot = name.rfind('.');
  return dot == std::string_view::npos ? name : name.substr(0, dot);
}

std::string_view ExtPart(std::string_view name) {
  const size_t dot = name.rfind('.');
  return dot == std::string_view::npos ? std::string_view() : name.substr(dot + 1);
}

std::string AttributeText(uint32_t attributes) {
  std::string text = "----";
  if (attributes & 0x20) text[0] = 'a';
  if (attributes & 0x02) text[1] = 'h';
  if (attributes & 0x01) text[2] = 'r';
  if (attributes & 0x04) text[3] = 's';
  return text;
}

std::string DateText(platform::TFileTime utc) {
  const platform::TDateTime local = platform::DateTimeFromUtcFileTime(utc);
  return platform::FormatShortDate(local) + " " + platform::FormatLongTime(local);
}

std::string FileCellText(const TItemList& list, int32_t row, int column) {
  const int side = SideOfColumn(column);
  if (side < 0 || !list.IsFile(row) || list.Index(row, side) < 0) return {};
  switch (FieldOfColumn(column)) {
    case fName:
      return std::string(NamePart(DisplayName(list.FileName(row, side))));
    case fExt:
      return std::string(ExtPart(DisplayName(list.FileName(row, side))));
    case fSize:
      return GroupedNumber(list.FileSize(row, side));
    case fDate:
      return DateText(list.FileTime(row, side));
    case fAttr:
      return AttributeText(list.FileAttributes(row, side));
  }
  return {};
}

bool UsesSideFont(const TItemList& list, int32_t row, int column, const TCompareRules& rules) {
  const int side = SideOfColumn(column);
  if (side < 0) return false;
  if (list.IsFolder(row)) return !list.FolderExists(row, side);
  const int other = 1 - side;
  if (list.Index(row, side) < 0 || list.Index(row, other) < 0) return true;
  switch (FieldOfColumn(column)) {
    case fSize:
      return list.FileSize(row, side) != list.FileSize(row, other);
    case fDate: {
      const int64_t apart = Distance(list.FileTime(row, side), list.FileTime(row, other));
      return apart != 0 && !(rules.bRulesNTFS && apart <= kTimeTolerance);
    }
    case fAttr:
      return list.FileAttributes(row, side) != list.FileAttributes(row, other);
    default:
      return false;  // a partner has the same name
  }
}

int ClassImage(int cls) {
  return cls >= 0 && cls < static_cast<int>(kClassImages.size()) ? kClassImages[cls] : -1;
}

int ActionImage(int action) {
  return action >= 0 && action < kActionCount ? kActionImages[action] : -1;
}

TFolderRowText FolderRowText(const TScanInfo& info, const TItemList& list, int32_t row, int side) {
  if (!list.IsFolder(row)) return {};
  if (list.FolderExists(row, side)) return {list.FolderPath(row, side).path, {}, false};
  TFolderRowText text{std::string(info.RootPath(list.Pair(row), side)),
                      std::string(list.RelativePath(row)), true};
  return text;
}

std::string FitFolderRow(const TFolderRowText& text, int width, const TTextWidth& measure) {
  if (!text.missing || text.relative.empty()) return ShortenPath(text.root, width, measure);
  const std::string whole = text.root + "[" + text.relative + "]";
  if (measure(whole) <= width) return whole;
  const int half = (width - measure("[]")) / 2;
  return ShortenPath(text.root, half, measure) + "[" + ShortenPath(text.relative, half, measure) +
         "]";
}

std::array<int, kGridColumnCount> GridColumnWidths(int total, const TSideWidths& left,
                                                   const TSideWidths& right) {
  std::array<int, kGridColumnCount> widths{};
  widths[gcSign] = kSignWidth;
  const int per_side = (total - kSignWidth) / 2;
  for (int side : {kLeft, kRight}) {
    const TSideWidths& w = side == kLeft ? left : right;
    const int base = side == kLeft ? gcLeftName : gcRightName;
    widths[base + fSize] = w.size;
    widths[base + fDate] = w.date;
    widths[base + fAttr] = w.attr;
    const int rest = std::max(0, per_side - w.size - w.date - w.attr);
    widths[base + fName] = rest * 3 / 4;
    widths[base + fExt] = rest - rest * 3 / 4;
  }
  return widths;
}

std::array<std::string, 2> DateSamples() {
  const auto sample = [](int month) {
    const platform::TDateTime dt = platform::EncodeDateTime(2000, month, 22, 23, 59, 59, 999);
    return platform::FormatShortDate(dt) + " " + platform::FormatLongTime(dt);
  };
  return {sample(2), sample(12)};
}

bool SortAfterClick(int column, TSortSettings& sort) {
  const int field = FieldOfColumn(column);
  if (field < fName || field > fDate) return false;
  sort.ascending = field == sort.key ? !sort.ascending : true;
  sort.key = field;
  sort.prefer_left = SideOfColumn(column) == kLeft;
  return true;
}

}  // namespace twn
