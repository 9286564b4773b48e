#pragma once
// The information boxes of the Visual run window's top panel, one per phase, of which exactly
// one is shown: tips, comparison progress, statistics, statistics of changes, synchronization
// progress and the completion table. They show texts the core computed.
#include <QtWidgets/QWidget>
#include <array>
#include <vector>

#include "windows/visual_run.h"

class QGroupBox;
class QLabel;
class QProgressBar;

namespace twn::gui {

class InfoPanels : public QWidget {
  Q_OBJECT

 public:
  explicit InfoPanels(QWidget* parent = nullptr);

  /// Shows the box of `phase` and hides the others.
  void ShowPhase(int phase);
  void SetScanLabels(const std::array<std::string, 6>& labels);
  void SetStatistics(const std::vector<TStatRow>& rows);
  void SetChanges(const std::vector<TStatRow>& rows);
  /// The texts and gauges; `set_maxima` when the synchronization half starts.
  void SetSyncLines(const std::array<TProgressLine, 4>& lines, bool set_maxima);
  void SetCompletion(const std::array<TCompletionRow, 4>& rows);

 private:
  QGroupBox* Box(int phase, const char* name);
  QGroupBox* MakeTable(int phase, const char* name, int rows, const char* prefix,
                       const std::array<std::string_view, 3>& columns, int value_columns);
  void SetTable(const char* prefix, int row, const std::string& caption,
                const std::vector<std::string>& values);

  std::array<QGroupBox*, kVisualPhaseCount> boxes_{};
  std::array<QLabel*, 6> scan_{};
  std::array<QLabel*, 4> sync_text_{};
  std::array<QProgressBar*, 4> gauges_{};
};

}  // namespace twn::gui
