#pragma once
// The pairs grid of the quick-info window: its header, its cells and the empty-basket text;
// and the window's fixed texts.
#include <string>
#include <string_view>

#include "model/job_data.h"

namespace twn {

/// Columns of the pairs grid.
enum TPairColumn : int { pcLeft, pcSubfolders, pcRight, kPairColumnCount };

/// Icons of the subfolders column.
inline constexpr int kPairIconFolderOnly = 12;
inline constexpr int kPairIconSubfolders = 13;

inline constexpr std::string_view kBasketEmptyText = "The basket is empty.";
/// The window's other fixed texts.
inline constexpr std::string_view kPropertiesGroupText = "Job properties";
inline constexpr std::string_view kQuickInfoClose = "&Close";
inline constexpr std::string_view kQuickInfoHelp = "&Help";

/// "Left directory", "S", "Right directory"; "???" for any other column.
std::string PairHeaderText(int column);
/// The path the cell shows before it is fitted to the column; empty for the icon column.
std::string PairCellText(const TPairItem& pair, int column);
/// Whether the pair takes its subfolders along.
int PairIcon(const TPairItem& pair);
/// A pair whose folders were not both found when it was last tested is shown dimmed.
bool PairDimmed(const TPairItem& pair);

}  // namespace twn
