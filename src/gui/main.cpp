// twn: the windowed program. Start-up in this order: the program's own options, the settings
// folder and its single-instance lock, the settings file, the main window, the command line
// and the first tick, then the window is shown.
#include <QtCore/QFile>
#include <QtWidgets/QApplication>
#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

#include "app/command_line.h"
#include "app/main_commands.h"
#include "app/settings.h"
#include "app/settings_folder.h"
#include "gui/common/message_boxes.h"
#include "gui/host/qt_run_host.h"
#include "gui/main/main_window.h"
#include "platform/fs.h"
#include "platform/instance_lock.h"

namespace {

constexpr int kExitUsage = 2;
constexpr int kExitFolderInUse = 4;

QString Text(const std::string& text) {
  return QString::fromUtf8(text);
}

// A file that cannot be read leaves the list empty and is never saved over.
bool LoadOrWarn(twn::TSettings& settings) {
  const twn::platform::TError error = settings.LoadSettings();
  if (error == 0) return true;
  settings.Jobs.clear();
  twn::gui::MessageBoxes().Warn(
      nullptr, Text(std::string(twn::kProgramName)),
      Text(twn::LoadFailedText(settings.FilePath(), twn::platform::ErrorText(error))));
  return false;
}

}  // namespace

int main(int argc, char* argv[]) {
  const std::vector<std::string> args(argv + (argc > 0 ? 1 : 0), argv + argc);
  // Answered before QApplication exists, so that it works without any display.
  for (const std::string& arg : args) {
    if (arg == "--version") {
      std::printf("twn %s\n", TWN_VERSION);
      return 0;
    }
  }
  const twn::TProgramOptions options = twn::TakeProgramOptions(args);
  if (!options.Error.empty()) {
    std::fprintf(stderr,
                 "twn: %s\nusage: twn [--settings DIR] [JOBNAME] [-sm] [-la|-le] [-fm|-fc]\n",
                 options.Error.c_str());
    return kExitUsage;
  }
  QApplication app(argc, argv);
  QApplication::setApplicationName(Text(std::string(twn::kAppTitle)));
  QApplication::setQuitOnLastWindowClosed(false);  // the window hides to the tray
  const std::string exe = QFile::encodeName(QCoreApplication::applicationFilePath()).toStdString();
  twn::TSettings settings(twn::SettingsFolder(options.SettingsFolder, exe));
  twn::platform::TInstanceLock lock;
  if (lock.Acquire(settings.Folder()) != 0) {
    twn::gui::MessageBoxes().Warn(nullptr, Text(std::string(twn::kProgramName)),
                                  Text("The settings folder " + settings.Folder() + " is in use."));
    return kExitFolderInUse;
  }
  const bool loaded = LoadOrWarn(settings);
  std::sort(settings.Jobs.begin(), settings.Jobs.end(),
            twn::TJobOrder{settings.SortColumn, settings.bAscending});
  twn::gui::TQtRunHost host;
  twn::gui::MainWindow window(settings, host);
  window.SetMaySave(loaded);
  QObject::connect(&app, &QGuiApplication::commitDataRequest, &window,
                   [&window](QSessionManager&) { window.CloseQuietly(); });
  window.Start(options.Rest);
  window.ShowAtStart();
  return QApplication::exec();
}
