#pragma once
// The cells of the Visual run grid: header texts, the texts of a file row, which font a cell
// takes, the sign image of a row, folder-row paths, column widths and header-click sorting.
// One row per comparison item (or plan entry); the grid adds no rows of its own.
#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "engine/scan_info.h"
#include "windows/path_shortening.h"

namespace twn {

/// Columns of the comparison table and the preview: five per side around the sign.
enum TGridColumn : int {
  gcLeftName,
  gcLeftExt,
  gcLeftSize,
  gcLeftDate,
  gcLeftAttr,
  gcSign,
  gcRightName,
  gcRightExt,
  gcRightSize,
  gcRightDate,
  gcRightAttr,
  kGridColumnCount,
};
inline constexpr int kSideColumns = 5;
inline constexpr std::string_view kLogHeader = "Operation log";
/// The width of every sign image.
inline constexpr int kSignWidth = 70;

/// The side a column shows (kLeft for 0-4, kRight for 6-10), -1 for the sign and others.
int SideOfColumn(int column);
/// The column's field 0-4 (name, ext, size, date, attr) within its side; -1 if none.
int FieldOfColumn(int column);
/// The header text; the sorted column gets a leading blank; "???" out of range.
std::string GridHeaderText(int column, bool sorted = false);
/// Whether the column's header is drawn sunken with the sort mark.
bool IsSortedColumn(int column, const TSortSettings& sort);

/// A file name as shown: a name with no lower-case letter (no byte of 97 or above) keeps its
/// first character and lowers every later A-Z ("README.TXT" shows as "Readme.txt").
std::string DisplayName(std::string_view name);
/// The name up to its last "." (the whole name without one) and what follows it.
std::string_view NamePart(std::string_view name);
std::string_view ExtPart(std::string_view name);
/// "a"/"h"/"r"/"s" or "-" each, in that order.
std::string AttributeText(uint32_t attributes);
/// A UTC file time as local short date and long time.
std::string DateText(platform::TFileTime utc);
/// The text of a file row's cell; empty for the sign, for a side without a file, for a
/// folder row and out of range.
std::string FileCellText(const TItemList& list, int32_t row, int column);

/// Whether a data cell is drawn in its side's font rather than the default one: a file value
/// that differs from its partner's, a file without a partner, or a folder missing on that side.
bool UsesSideFont(const TItemList& list, int32_t row, int column, const TCompareRules& rules);

/// Sign images: by comparison class and by plan action; -1 draws nothing.
int ClassImage(int cls);
int ActionImage(int action);

/// The text of one side of a folder row before it is fitted: the full path where the folder
/// exists, else the side's root and the relative path shown in brackets.
struct TFolderRowText {
  std::string root;      // the whole path when the folder exists
  std::string relative;  // missing folders only
  bool missing = false;
};
TFolderRowText FolderRowText(const TScanInfo& info, const TItemList& list, int32_t row, int side);
/// The text fitted to `width`: a missing folder's root and relative part share it half and half.
std::string FitFolderRow(const TFolderRowText& text, int width, const TTextWidth& measure);

/// Widths of the columns of one side that are fitted to their content.
struct TSideWidths {
  int size = 0;
  int date = 0;
  int attr = 0;
};
/// Every column's width for a grid `total` wide: the fitted columns as given, the sign as wide
/// as its images, and of what remains on each side three quarters to the name, one to the ext.
std::array<int, kGridColumnCount> GridColumnWidths(int total, const TSideWidths& left,
                                                   const TSideWidths& right);
/// The sample texts the fitted columns must hold.
inline constexpr std::string_view kAttrSample = "arsh";
std::array<std::string, 2> DateSamples();

/// The sort after a header click on `column`; false (and nothing changes) for a column that
/// does not sort.
bool SortAfterClick(int column, TSortSettings& sort);

}  // namespace twn
