#include "gui/main/main_actions.h"

#include <QtGui/QAction>
#include <QtWidgets/QMenu>
#include <QtWidgets/QMenuBar>
#include <QtWidgets/QStyle>
#include <QtWidgets/QToolBar>
#include <QtWidgets/QWidget>

namespace twn::gui {

namespace {

QStyle::StandardPixmap ToolIcon(TMainCommand command) {
  switch (command) {
    case cmNew:
      return QStyle::SP_FileIcon;
    case cmEdit:
      return QStyle::SP_FileDialogDetailedView;
    case cmDelete:
      return QStyle::SP_TrashIcon;
    case cmSelectAll:
      return QStyle::SP_DialogApplyButton;
    case cmExecute:
      return QStyle::SP_MediaPlay;
    case cmStop:
      return QStyle::SP_MediaStop;
    case cmVisualRun:
      return QStyle::SP_FileDialogContentsView;
    case cmQuickInfo:
      return QStyle::SP_FileDialogInfoView;
    case cmLogViewer:
      return QStyle::SP_FileDialogListView;
    default:
      return QStyle::SP_DesktopIcon;
  }
}

QString ActionName(TMainCommand command) {
  return QString("action%1").arg(int(command));
}

// A second face of `original` under another caption: it runs the command and follows its
// enabled state.
void Follow(QAction* twin, QAction* original) {
  twin->setToolTip(original->toolTip());
  twin->setEnabled(original->isEnabled());
  QObject::connect(original, &QAction::changed, twin,
                   [twin, original] { twin->setEnabled(original->isEnabled()); });
}

}  // namespace

MainActions::MainActions(QWidget* window) : QObject(window) {
  for (int32_t i = 0; i < kMainCommandCount; ++i) {
    const auto command = TMainCommand(i);
    const TMainCommandInfo& info = MainCommandInfo(command);
    auto* action = new QAction(QString::fromUtf8(info.Caption), window);
    action->setObjectName(ActionName(command));
    action->setToolTip(QString::fromUtf8(info.Hint));
    action->setStatusTip(QString::fromUtf8(info.Hint));
    if (!info.Shortcut.empty()) {
      action->setShortcut(QKeySequence(QString::fromUtf8(info.Shortcut)));
      action->setShortcutContext(Qt::WindowShortcut);
    }
    window->addAction(action);
    connect(action, &QAction::triggered, this, [this, command] { emit Triggered(command); });
    actions_[size_t(i)] = action;
  }
  Action(cmShowTutorials)->setCheckable(true);
}

void MainActions::AddItems(QMenu* menu, std::string_view title,
                           std::span<const TMainCommand> items) const {
  for (const TMainCommand command : items) {
    if (command == cmSeparator) {
      menu->addSeparator();
      continue;
    }
    const std::string_view caption = MenuCaption(title, command);
    if (caption == MainCommandInfo(command).Caption) {
      menu->addAction(Action(command));
      continue;
    }
    QAction* original = Action(command);
    Follow(menu->addAction(QString::fromUtf8(caption), original, &QAction::trigger), original);
  }
}

void MainActions::BuildMenus(QMenuBar* bar) const {
  for (const TMenuLayout& layout : MainMenus()) {
    QMenu* menu = bar->addMenu(QString::fromUtf8(layout.Title));
    menu->setObjectName(QString::fromUtf8(layout.Title).remove('&').toLower() + "Menu");
    AddItems(menu, layout.Title, layout.Items);
  }
}

void MainActions::BuildToolBar(QToolBar* bar) const {
  bar->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
  for (const TToolButton& button : ToolbarButtons()) {
    if (button.Command == cmSeparator) {
      bar->addSeparator();
      continue;
    }
    // The toolbar has shorter captions than the menu: a twin action keeps the menu's.
    QAction* original = Action(button.Command);
    QAction* twin = bar->addAction(bar->style()->standardIcon(ToolIcon(button.Command)),
                                   QString::fromUtf8(button.Caption), original, &QAction::trigger);
    twin->setObjectName(ActionName(button.Command) + "Tool");
    Follow(twin, original);
  }
}

QMenu* MainActions::BuildContextMenu(QWidget* parent) const {
  auto* menu = new QMenu(parent);
  menu->setObjectName("jobContextMenu");
  AddItems(menu, "", ContextMenuItems());
  return menu;
}

void MainActions::Enable(const TCommandStates& states) {
  for (int32_t i = 0; i < kMainCommandCount; ++i) {
    const auto command = TMainCommand(i);
    Action(command)->setEnabled(MainCommandEnabled(command, states));
  }
}

}  // namespace twn::gui
