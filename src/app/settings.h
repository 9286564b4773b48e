#pragma once
// The settings file TWN.ini: the program's settings, the predefined filters, the histories and
// the job list. It is read once into a TSettings and written back as a whole from it; keys the
// program does not know are not kept.
#include <array>
#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "filters/file_filter.h"
#include "filters/folder_filter.h"
#include "platform/fs.h"
#include "platform/time.h"
#include "run/job.h"

namespace twn {

class TKelIni;

inline constexpr std::string_view kSettingsFileName = "TWN.ini";
/// Columns of the job list, one width each.
inline constexpr size_t kJobListColumns = 5;
/// The log viewer's search history: entries end with byte 168, at most 100 are kept, and an
/// empty history gets this single entry.
inline constexpr char kSearchHistorySeparator = static_cast<char>(168);
inline constexpr size_t kSearchHistoryLimit = 100;
inline constexpr std::string_view kSearchHistoryDefault = "folder";
/// The file-filter histories: entries end with ';'.
inline constexpr char kFilterHistorySeparator = ';';

/// A window's remembered place; Left, Width and Height -1 mean "not recorded".
struct TWindowPlacement {
  bool bMoved = false;
  /// 3 maximized, 1 normal.
  int32_t State = 1;
  int32_t Top = 0;
  int32_t Left = -1;
  int32_t Width = -1;
  int32_t Height = -1;
  bool operator==(const TWindowPlacement&) const = default;
};

/// A font as stored: colour 0x00BBGGRR, style bits 1 bold, 2 italic, 4 underline, 8 strike-out.
struct TFontSetting {
  std::string Name = "Tahoma";
  int32_t Size = 8;
  int32_t Color = 32768;
  int32_t Style = 1;
  bool operator==(const TFontSetting&) const = default;
};

class TSettings {
 public:
  /// Settings with their values before any file is read; `folder` is where TWN.ini lives and
  /// gives the default log folder (folder + "/Logs").
  explicit TSettings(std::string folder);

  const std::string& Folder() const { return folder_; }
  /// Folder() + "/TWN.ini".
  std::string FilePath() const;

  /// Reads TWN.ini from the folder. A missing, empty or unreadable file gives the defaults and
  /// no jobs; a value that cannot be read takes its key's default. Returns 0 when the file was
  /// read or does not exist yet, else the error that kept it from being read: a caller must not
  /// save over a file it could not read.
  platform::TError LoadSettings(platform::TDateTime now = platform::Now());
  /// Writes the whole file atomically; on failure the old file stays and the error is returned.
  platform::TError SaveSettings() const;

  /// The reading and writing without the file, in the order of the file.
  void ReadFrom(const TKelIni& ini, platform::TDateTime now);
  void WriteTo(TKelIni& ini) const;

  /// The first job whose name equals `name` with a-z folded (as the command line matches), or
  /// -1.
  int FindJob(std::string_view name) const;
  /// Every job's name in list order.
  std::vector<std::string> JobNames() const;
  /// Appends a new job with the next job number and returns it.
  TJob& AddJob(platform::TDateTime now = platform::Now());

  // MainSection
  int32_t MainTop = -1, MainLeft = -1, MainWidth = -1, MainHeight = -1;
  int32_t MainWindowState = 0;
  bool bShowTutorials = true;
  /// Off until the file is read; a file without the key turns it on.
  bool bAutosizeColumns = false;
  std::array<int32_t, kJobListColumns> ColumnWidth = {100, 100, 100, 100, 100};
  int32_t SortColumn = 0;
  bool bAscending = true;
  TWindowPlacement QuickInfo, LogViewer, VisualRun, FolderTree, AddPair;

  // TreesSection: the add/edit pair window.
  int32_t TreesContainer = 0;
  int32_t VerticalSplitter = 500;
  TFontSetting TreesFontL{"Tahoma", 8, 32768, 1};
  TFontSetting TreesFontR{"Tahoma", 8, 8388608, 1};

  // FilterSection and the predefined filters.
  int32_t MaxHistoryItems = 20;
  std::vector<TFileFilter> DefFileFilters;
  std::vector<TFolderFilter> DefFolderFilters;

  // The histories, most recent first.
  std::vector<std::string> FileFilterIncHistory;
  std::vector<std::string> FileFilterExcHistory;
  std::vector<std::string> SearchHistory;

  // LogViewerHistory
  std::string MainLogFolder;

  // WizardSection
  int32_t BasketContainer = 5;
  TFontSetting WizardFontL{"Tahoma", 9, 32768, 1};
  TFontSetting WizardFontR{"Tahoma", 9, 8388608, 1};

  /// The job list in list order.
  std::vector<std::unique_ptr<TJob>> Jobs;

 private:
  std::string folder_;
};

}  // namespace twn
