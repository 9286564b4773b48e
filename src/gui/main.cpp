// twn: the windowed program. Start-up in this order: the program's own options, the settings
// folder and its single-instance lock, the settings file, the main window, the command line
// and the first tick, then the window is shown.
#include <QtCore/QFile>
#include <QtCore/QTimer>
#include <QtWidgets/QApplication>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "app/command_line.h"
#include "app/main_commands.h"
#include "app/settings.h"
#include "app/settings_folder.h"
#include "gui/common/app_icon.h"
#include "gui/common/message_boxes.h"
#include "gui/common/text.h"
#include "gui/help/help_center.h"
#include "gui/host/qt_run_host.h"
#include "gui/main/main_window.h"
#include "gui/main/quit_signals.h"
#include "gui/main/single_instance.h"
#include "platform/fs.h"
#include "windows/create_shortcut.h"

namespace {

using twn::gui::PathBytes;
using twn::gui::Text;

constexpr int kExitUsage = 2;
constexpr int kExitFolderInUse = 4;

// TWN_TEST_HOOKS=1, for tests that drive the program as a process: message boxes are written
// to standard error and answered Yes, and a request to come to the front is reported on
// standard output.
class TPrintedMessageBoxes final : public twn::gui::TMessageBoxes {
 public:
  void Warn(QWidget*, const QString& title, const QString& text) override { Print(title, text); }
  bool Ask(QWidget*, const QString& title, const QString& text) override {
    Print(title, text);
    return true;
  }
  void Inform(QWidget*, const QString& title, const QString& text) override { Print(title, text); }

 private:
  static void Print(const QString& title, const QString& text) {
    std::fprintf(stderr, "%s: %s\n", qPrintable(title), qPrintable(text));
  }
};

bool TestHooks() {
  return qEnvironmentVariableIsSet("TWN_TEST_HOOKS");
}

void Warn(const std::string& text) {
  twn::gui::MessageBoxes().Warn(nullptr, Text(twn::kProgramName), Text(text));
}

// A file that cannot be read leaves the list empty and is never saved over.
bool LoadOrWarn(twn::TSettings& settings) {
  const twn::platform::TError error = settings.LoadSettings();
  if (error == 0) return true;
  settings.Jobs.clear();
  Warn(twn::LoadFailedText(settings.FilePath(), twn::platform::ErrorText(error)));
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
  TPrintedMessageBoxes printed_boxes;
  if (TestHooks()) twn::gui::SetMessageBoxes(&printed_boxes);
  QApplication::setApplicationName(Text(twn::kAppTitle));
  QApplication::setQuitOnLastWindowClosed(false);  // the window hides to the tray
  QApplication::setWindowIcon(twn::gui::AppIcon());
  const std::string exe = PathBytes(QCoreApplication::applicationFilePath());
  twn::TSettings settings(twn::SettingsFolder(options.SettingsFolder, exe));
  twn::gui::SingleInstance instance;
  switch (instance.Start(settings.Folder())) {
    case twn::gui::SingleInstance::Outcome::First:
      break;
    case twn::gui::SingleInstance::Outcome::ActivatedOther:
      return 0;  // the running one comes to the front; this command line is not read
    case twn::gui::SingleInstance::Outcome::HeldElsewhere:
      Warn(twn::FolderInUseText(settings.Folder()));
      return kExitFolderInUse;
    case twn::gui::SingleInstance::Outcome::Failed:
      Warn(twn::FolderLockFailedText(settings.Folder(), instance.Error()));
      return kExitFolderInUse;
  }
  const bool loaded = LoadOrWarn(settings);
  std::sort(settings.Jobs.begin(), settings.Jobs.end(),
            twn::TJobOrder{settings.SortColumn, settings.bAscending});
  twn::gui::TQtRunHost host;
  twn::gui::MainWindow window(settings, host);
  window.SetMaySave(loaded);
  QObject::connect(&instance, &twn::gui::SingleInstance::ActivateRequested, &window,
                   &twn::gui::MainWindow::Activate);
  if (TestHooks())
    QObject::connect(&instance, &twn::gui::SingleInstance::ActivateRequested, [] {
      std::printf("activated\n");
      std::fflush(stdout);
    });
  twn::gui::HelpCenter help(QCoreApplication::applicationDirPath());
  help.Install();
  window.SetHelp(&help);
  window.SetShortcutTarget(
      exe, twn::ShortcutSettingsFolder(options.SettingsFolder, std::getenv("TWN_HOME"),
                                       settings.Folder()));
  QObject::connect(&window, &twn::gui::MainWindow::HelpContextRequested, &help,
                   &twn::gui::HelpCenter::ShowContext);
  QObject::connect(&window, &twn::gui::MainWindow::HelpPageRequested, &help,
                   &twn::gui::HelpCenter::ShowTopic);
  twn::gui::QuitSignals signals_to_close;
  QObject::connect(&signals_to_close, &twn::gui::QuitSignals::QuitRequested, &window,
                   &twn::gui::MainWindow::CloseQuietly);
  QObject::connect(&app, &QGuiApplication::commitDataRequest, &window,
                   [&window](QSessionManager&) { window.CloseQuietly(); });
  window.Start(options.Rest);
  window.ShowAtStart();
  if (TestHooks())
    QTimer::singleShot(0, [] {
      std::printf("shown\n");
      std::fflush(stdout);
    });
  return QApplication::exec();
}
