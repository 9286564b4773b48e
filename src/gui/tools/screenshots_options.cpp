// The Options window on a browsed log folder.
#include "gui/options/options_window.h"
#include "gui/tools/screenshot_kit.h"

namespace twn::shots {

namespace {

bool RenderOptions(const QString& dir) {
  TFixture fixture;
  TSettings& settings = fixture.Settings();
  settings.MainLogFolder = "/home/anna/.local/share/twinward/Logs/";
  settings.bAutosizeColumns = true;
  gui::OptionsWindow window(settings, nullptr);
  window.show();
  return Save(window, dir, "options");
}

const bool registered = RegisterShot("options", &RenderOptions);

}  // namespace

}  // namespace twn::shots
