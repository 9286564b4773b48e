// twn: the windowed program. It loads the settings and shows the job list.
#include <QtCore/QFile>
#include <QtWidgets/QApplication>
#include <QtWidgets/QMessageBox>
#include <algorithm>
#include <cstdio>
#include <string>
#include <string_view>

#include "app/settings.h"
#include "app/settings_folder.h"
#include "gui/main/main_window.h"
#include "platform/fs.h"

namespace {

// The folder given by --settings DIR or --settings=DIR, or empty.
std::string SettingsOption(int argc, char* argv[]) {
  constexpr std::string_view kOption = "--settings";
  for (int i = 1; i < argc; ++i) {
    const std::string_view arg(argv[i]);
    if (arg == kOption && i + 1 < argc) return argv[i + 1];
    if (arg.starts_with(kOption) && arg.size() > kOption.size() && arg[kOption.size()] == '=')
      return std::string(arg.substr(kOption.size() + 1));
  }
  return {};
}

// On a file that cannot be read the list stays empty; nothing is saved over the file.
void LoadOrWarn(twn::TSettings& settings) {
  const twn::platform::TError error = settings.LoadSettings();
  if (error == 0) return;
  settings.Jobs.clear();
  QMessageBox::warning(nullptr, "Twinward",
                       QString("Cannot read the settings file\n%1\n\n%2\n\nThe job list is empty "
                               "and the file will not be changed.")
                           .arg(QFile::decodeName(settings.FilePath().c_str()),
                                QString::fromUtf8(twn::platform::ErrorText(error))));
}

}  // namespace

int main(int argc, char* argv[]) {
  // Answered before QApplication exists, so that it works without any display.
  for (int i = 1; i < argc; ++i) {
    if (std::string_view(argv[i]) == "--version") {
      std::printf("twn %s\n", TWN_VERSION);
      return 0;
    }
  }
  QApplication app(argc, argv);
  const std::string exe = QFile::encodeName(QCoreApplication::applicationFilePath()).toStdString();
  twn::TSettings settings(twn::SettingsFolder(SettingsOption(argc, argv), exe));
  LoadOrWarn(settings);
  const twn::TJobOrder order{settings.SortColumn, settings.bAscending};
  std::sort(settings.Jobs.begin(), settings.Jobs.end(), order);
  twn::gui::MainWindow window(settings.Jobs, order);
  window.resize(860, 420);
  window.show();
  return QApplication::exec();
}
