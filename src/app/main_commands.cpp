#include "app/main_commands.h"

#include <cstdio>

namespace twn {

namespace {

constexpr std::array<TMainCommandInfo, kMainCommandCount> kCommands = {{
    {"New Job", "Ctrl+N", "New job"},
    {"Edit Job", "Alt+Return", "Edit job"},
    {"Delete selected Jobs", "Del", "Delete selected Jobs"},
    {"Duplicate selected Job", "Ctrl+D", "Duplicate selected Job"},
    {"Select all", "Ctrl+A", "Select/Deselect all Jobs"},
    {"Execute selected Jobs (background)", "Ctrl+R", "Execute selected Job(s)"},
    {"Stop executing/waiting Jobs", "Ctrl+S", "Stop executing/waiting Job(s)"},
    {"Visual Job execution (detailed)", "", "Visual Job execution (detailed)"},
    {"Quick info for Job", "Return", "Quick look at job settings"},
    {"Log viewer", "F10", "Show job logs"},
    {"Create shortcut for selected Job", "", "Create shortcut for selected Job"},
    {"Adjust columns", "", "Share the list's width equally among its columns"},
    {"Options", "Ctrl+O", "Program options"},
    {"Show tutorials panel", "", "Show or hide the quick start tutorials"},
    {"Close", "Alt+F4", "Close the program"},
    {"Contents", "", "Help contents"},
    {"Quick start tutorial", "", "Quick start tutorials"},
    {"Twinward home page", "", "Open the home page in the browser"},
    {"Feedback and technical support", "", "Write to technical support"},
    {"About...", "", "About the program"},
}};

constexpr TMainCommand S = cmSeparator;
constexpr TMainCommand kJobMenu[] = {cmNew,     cmCreateShortcut, S, cmVisualRun,
                                     cmExecute, cmStop,           S, cmClose};
constexpr TMainCommand kEditMenu[] = {cmEdit, cmDelete, cmDuplicate, S, cmSelectAll};
constexpr TMainCommand kViewMenu[] = {
    cmAdjustColumns, cmShowTutorials, S, cmQuickInfo, cmLogViewer, S, cmOptions};
constexpr TMainCommand kHelpMenu[] = {cmHelpContents, cmHelpTutorials, S, cmHomePage, cmFeedback, S,
                                      cmAbout};
constexpr TMenuLayout kMenus[] = {
    {"&Job", kJobMenu}, {"&Edit", kEditMenu}, {"&View", kViewMenu}, {"&Help", kHelpMenu}};
constexpr TMainCommand kContextMenu[] = {
    cmNew,           cmEdit, cmDelete,         cmDuplicate, S,           cmVisualRun, cmExecute,
    cmStop,          S,      cmCreateShortcut, cmQuickInfo, cmLogViewer, S,           cmSelectAll,
    cmAdjustColumns, S,      cmOptions};
constexpr TToolButton kToolbar[] = {{cmNew, "New job"},
                                    {cmEdit, "Edit Job"},
                                    {cmDelete, "Delete"},
                                    {S, ""},
                                    {cmSelectAll, "Select all"},
                                    {S, ""},
                                    {cmExecute, "Execute"},
                                    {cmStop, "Stop Job"},
                                    {cmVisualRun, "Visual run"},
                                    {S, ""},
                                    {cmQuickInfo, "Job info"},
                                    {cmLogViewer, "Log viewer"},
                                    {cmCreateShortcut, "Create icon"}};
constexpr TTrayMenuItem kTray[] = {
    {tiActivate, "Activate TWN"}, {tiSeparator, ""}, {tiFeedback, "Feedback and technical support"},
    {tiAbout, "About..."},        {tiSeparator, ""}, {tiClose, "Close"}};
constexpr TTutorial kTutorials[] = {
    {9, "Tutorial 1", "Simple way to create a Job quickly."},
    {10, "Tutorial 2",
     "Synchronize Home computer folders and Flash drive via single clicking shortcut on "
     "Desktop."},
    {11, "Tutorial 3",
     "Set up automatic synchronization on every hour on all days except Saturday and Sunday."},
    {12, "Tutorial 4", "Set up automatic incremental backup for works folders."},
    {13, "Tutorial 5", "Set up the mirror copy for all files."},
};

}  // namespace

const TMainCommandInfo& MainCommandInfo(TMainCommand command) {
  return kCommands.at(size_t(command));
}

bool MainCommandEnabled(TMainCommand command, const TCommandStates& s) {
  switch (command) {
    case cmNew:
      return s.New;
    case cmEdit:
      return s.Edit;
    case cmDelete:
      return s.Delete;
    case cmDuplicate:
      return s.Duplicate;
    case cmSelectAll:
      return s.SelectAll;
    case cmExecute:
      return s.Execute;
    case cmStop:
      return s.Stop;
    case cmVisualRun:
      return s.VisualRun;
    case cmQuickInfo:
      return s.QuickInfo;
    case cmLogViewer:
      return s.LogViewer;
    case cmCreateShortcut:
      return s.CreateShortcut;
    case cmAdjustColumns:
      return s.AdjustColumns;
    case cmOptions:
      return s.Options;
    case cmShowTutorials:
      return s.ShowTutorials;
    case cmClose:
      return s.Close;
    default:
      return true;  // help commands
  }
}

std::span<const TMenuLayout> MainMenus() {
  return kMenus;
}
std::span<const TMainCommand> ContextMenuItems() {
  return kContextMenu;
}
std::span<const TToolButton> ToolbarButtons() {
  return kToolbar;
}
std::span<const TTrayMenuItem> TrayMenuItems() {
  return kTray;
}
std::span<const TTutorial> Tutorials() {
  return kTutorials;
}

std::string_view MenuCaption(std::string_view menu_title, TMainCommand command) {
  if (menu_title == "&Job" && command == cmStop) return "Stop selected executing/waiting Jobs";
  if (menu_title == "&Edit" && command == cmDuplicate) return "Duplicate Job";
  return MainCommandInfo(command).Caption;
}

std::optional<TQuestion> ClosingQuestion(int32_t waiting, int32_t executing, bool cl_holds) {
  if (waiting + executing <= 0 || (cl_holds && executing == 0)) return std::nullopt;
  char phrase[96];
  if (executing == 0)
    std::snprintf(phrase, sizeof phrase, "%d sheduled Job(s)", waiting);
  else if (waiting == 0)
    std::snprintf(phrase, sizeof phrase, "%d executing Job(s)", executing);
  else
    std::snprintf(phrase, sizeof phrase, "%d sheduled and %d executing Jobs", waiting, executing);
  return TQuestion{"Confirm closing application",
                   "You have " + std::string(phrase) + ". Close anyway?"};
}

std::string LoadFailedText(std::string_view path, std::string_view error) {
  return "Cannot read the settings file\n" + std::string(path) + "\n\n" + std::string(error) +
         "\n\nThe job list is empty and the file will not be changed.";
}

TQuestion SaveFailedQuestion(std::string_view path, std::string_view error) {
  return {std::string(kProgramName),
          "Cannot save the settings file\n" + std::string(path) + "\n\n" + std::string(error) +
              "\n\nChanges to the jobs and the window since the program started will be "
              "lost. Close anyway?"};
}

TQuestion SaveJobsFailedWarning(std::string_view path, std::string_view error) {
  return {std::string(kProgramName),
          "Cannot save the settings file\n" + std::string(path) + "\n\n" + std::string(error) +
              "\n\nThe change is kept while the program runs and saved again when it closes."};
}

std::string AboutText(std::string_view version) {
  return std::string(kMainCaption) + "\n\nFolder synchronizer, version " + std::string(version) +
         ".\n\nCompares two folders, plans the copies and deletions a synchronize method asks "
         "for, carries them out and writes a report and log files.";
}

}  // namespace twn
