#pragma once
// What every screenshot of twn-screenshots shares: the made-up jobs, a settings folder to keep
// them in, saving a widget to a PNG, and the list of windows to render. Each window's file
// registers its own shot, so that adding a window touches no other file:
//   static const bool registered = RegisterShot("quick_info", &RenderQuickInfo);
#include <QtCore/QString>
#include <functional>

#include "app/settings.h"
#include "app/watcher.h"

class QWidget;

namespace twn::shots {

/// A settings folder in a temporary place holding the fixture jobs: one running (copying),
/// two waiting, one manual that has never run.
struct TFixture {
  TFixture();
  ~TFixture();
  TSettings& Settings() { return *settings_; }

 private:
  struct TFolder;
  std::unique_ptr<TFolder> folder_;
  std::unique_ptr<TSettings> settings_;
};

/// A folder pair as the shown jobs hold it; `valid` false shows it as no longer found.
TPairItem ShotPair(const char* left, const char* right, bool subfolders, bool valid);

/// Grabs `widget` (after pending events) into `dir`/`name`.png; prints the path.
bool Save(QWidget& widget, const QString& dir, const QString& name);

/// Renders one or more PNGs into `dir`; false on failure.
using TShot = std::function<bool(const QString& dir)>;
bool RegisterShot(const char* name, TShot shot);

}  // namespace twn::shots
