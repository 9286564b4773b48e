// twn: the windowed program. For now it opens an empty main window.
#include <QtWidgets/QApplication>
#include <QtWidgets/QMainWindow>
#include <cstdio>
#include <string_view>

int main(int argc, char* argv[]) {
  // Answered before QApplication exists, so that it works without any display.
  for (int i = 1; i < argc; ++i) {
    if (std::string_view(argv[i]) == "--version") {
      std::printf("twn %s\n", TWN_VERSION);
      return 0;
    }
  }
  QApplication app(argc, argv);
  QMainWindow window;
  window.setObjectName("mainWindow");
  window.setWindowTitle("Twinward");
  window.show();
  return QApplication::exec();
}
