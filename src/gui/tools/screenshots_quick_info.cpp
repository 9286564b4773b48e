// The quick-info window on a job with three pairs, one of them no longer found, and on the
// same job without pairs.
#include "gui/quickinfo/quick_info_window.h"
#include "gui/tools/screenshot_kit.h"
#include "model/method_presets.h"

namespace twn::shots {

namespace {

bool RenderQuickInfo(const QString& dir) {
  TFixture fixture;
  TJobData& data = fixture.Settings().Jobs[0]->Data;
  ApplyMethod(data, kMethodMirrorL);
  data.FileFilter.FLT_Include = "*.jpg;*.png;*.raw";
  for (const char* pattern : {".cache", "Thumbnails", "tmp*"})
    data.FolderFilter.AddPattern(pattern);
  data.Pairs = {
      ShotPair("/home/anna/Pictures/Camera/2024/Holidays in the mountains",
               "/mnt/nas/backup/anna/Pictures/Camera/2024/Holidays in the mountains", true, true),
      ShotPair("/home/anna/Pictures/Scans", "/mnt/nas/backup/anna/Pictures/Scans", false, true),
      ShotPair("/media/anna/USB stick/Fotoğraflar", "/mnt/nas/backup/anna/Fotoğraflar", true,
               false),
  };
  gui::QuickInfoWindow window(data, nullptr);
  window.resize(700, 560);
  window.show();
  bool ok = Save(window, dir, "quick_info");
  data.Pairs.clear();
  gui::QuickInfoWindow empty(data, nullptr);
  empty.resize(700, 560);
  empty.show();
  return Save(empty, dir, "quick_info_empty") && ok;
}

const bool registered = RegisterShot("quick_info", &RenderQuickInfo);

}  // namespace

}  // namespace twn::shots
