// The Create shortcut window on a fixture job, launched with its own settings folder, with the
// desktop and the applications menu ticked.
#include <QtWidgets/QCheckBox>
#include <QtWidgets/QRadioButton>

#include "gui/shortcut/create_shortcut_window.h"
#include "gui/tools/screenshot_kit.h"
#include "run/job.h"

namespace twn::shots {

namespace {

bool RenderCreateShortcut(const QString& dir) {
  TFixture fixture;
  const TShortcutFolders folders = {"/home/user/Desktop", "",
                                    "/home/user/.local/share/applications",
                                    "/home/user/.local/share/applications"};
  gui::CreateShortcutWindow window(
      nullptr, *fixture.Settings().Jobs.front(), "/usr/bin/twn", "/home/user/sync-settings",
      nullptr, [](QWidget*, const TJob&) {}, &folders);
  window.findChild<QCheckBox*>("desktop")->setChecked(true);
  window.findChild<QCheckBox*>("programs")->setChecked(true);
  window.findChild<QRadioButton*>("log1")->setChecked(true);
  window.show();
  return Save(window, dir, "create_shortcut");
}

const bool registered = RegisterShot("create_shortcut", &RenderCreateShortcut);

}  // namespace

}  // namespace twn::shots
