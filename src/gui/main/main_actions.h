#pragma once
// The main window's actions, built from the core's command table, and the menus, toolbar and
// context menu laid out as the core's layouts say.
#include <QtCore/QObject>
#include <array>

#include "app/main_commands.h"

class QAction;
class QMenu;
class QMenuBar;
class QToolBar;
class QWidget;

namespace twn::gui {

class MainActions : public QObject {
  Q_OBJECT

 public:
  /// The actions are added to `window`, so that their shortcut keys work anywhere in it.
  explicit MainActions(QWidget* window);

  QAction* Action(TMainCommand command) const { return actions_.at(size_t(command)); }
  void BuildMenus(QMenuBar* bar) const;
  void BuildToolBar(QToolBar* bar) const;
  /// A new context menu owned by `parent`.
  QMenu* BuildContextMenu(QWidget* parent) const;
  /// Enables every command by the job list's states. Commands whose windows do not exist yet
  /// stay disabled.
  void Enable(const TCommandStates& states);

 signals:
  void Triggered(twn::TMainCommand command);

 private:
  void AddItems(QMenu* menu, std::string_view title, std::span<const TMainCommand> items) const;

  std::array<QAction*, kMainCommandCount> actions_{};
};

}  // namespace twn::gui
