#pragma once
// The main window's commands and the texts of its frame: captions, shortcut keys and hints of
// every command, the order of the menus, the toolbar and the row's context menu, the tray
// menu, the tutorials panel and the closing question. The window builds its actions from
// these tables and computes none of it itself.
#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "app/watcher.h"

namespace twn {

enum TMainCommand : int32_t {
  cmNew,
  cmEdit,
  cmDelete,
  cmDuplicate,
  cmSelectAll,
  cmExecute,
  cmStop,
  cmVisualRun,
  cmQuickInfo,
  cmLogViewer,
  cmCreateShortcut,
  cmAdjustColumns,
  cmOptions,
  cmShowTutorials,
  cmClose,
  // The Help menu's own commands.
  cmHelpContents,
  cmHelpTutorials,
  cmHomePage,
  cmFeedback,
  cmAbout,
  kMainCommandCount,
  cmSeparator = -1,  // in a menu layout: a separator line
};

struct TMainCommandInfo {
  std::string_view Caption;   // as in the menu ("&" marks nothing here)
  std::string_view Shortcut;  // key sequence in portable text form; empty for none
  std::string_view Hint;      // tool tip and status tip
};
const TMainCommandInfo& MainCommandInfo(TMainCommand command);
/// Whether the command may run now, by the job list's command states.
bool MainCommandEnabled(TMainCommand command, const TCommandStates& states);

struct TMenuLayout {
  std::string_view Title;               // "&Job"
  std::span<const TMainCommand> Items;  // cmSeparator for a line
};
/// The menus in order: Job, Edit, View, Help.
std::span<const TMenuLayout> MainMenus();
/// The row's context menu.
std::span<const TMainCommand> ContextMenuItems();

struct TToolButton {
  TMainCommand Command;  // cmSeparator for a gap
  std::string_view Caption;
};
std::span<const TToolButton> ToolbarButtons();

/// A caption in a menu that differs from the command's own ("Stop selected executing/waiting
/// Jobs" under Job, "Duplicate Job" under Edit); otherwise the command's caption.
std::string_view MenuCaption(std::string_view menu_title, TMainCommand command);

// --- The frame --------------------------------------------------------------------------------
inline constexpr std::string_view kMainCaption = "Twinward 1.01 build 1";
inline constexpr std::string_view kAppTitle = "TWN v1.01b1";
inline constexpr int32_t kMainMinWidth = 740;
inline constexpr int32_t kMainMinHeight = 250;
inline constexpr int32_t kMainWindowHelpContext = 15;
inline constexpr std::string_view kHomePage = "https://twinward.example.org/";
inline constexpr std::string_view kSupportMail =
    "mailto:support@twinward.example.org?subject=Support%20inquiry%20for%20TWN%20ver%201.01";

enum TTrayItem : int32_t { tiActivate, tiFeedback, tiAbout, tiClose, tiSeparator = -1 };
struct TTrayMenuItem {
  TTrayItem Item;
  std::string_view Caption;
};
std::span<const TTrayMenuItem> TrayMenuItems();

struct TTutorial {
  int32_t HelpContext;
  std::string_view Link;
  std::string_view Text;
};
inline constexpr std::string_view kTutorialsCaption = " Quick start tutorials";
std::span<const TTutorial> Tutorials();

/// The closing question for W waiting and E executing jobs; none when nothing is waiting or
/// executing, or when a command-line run holds the scheduler and nothing executes.
std::optional<TQuestion> ClosingQuestion(int32_t waiting, int32_t executing, bool cl_holds);

/// The settings file could not be read: the list stays empty and the file is left alone.
std::string LoadFailedText(std::string_view path, std::string_view error);
/// The settings file could not be saved at close: close anyway (Yes) or stay (No)?
TQuestion SaveFailedQuestion(std::string_view path, std::string_view error);
/// The warning when the jobs could not be saved right after a change to them.
TQuestion SaveJobsFailedWarning(std::string_view path, std::string_view error);
inline constexpr std::string_view kProgramName = "Twinward";
/// The about box.
std::string AboutText(std::string_view version);

}  // namespace twn
