#include "support/comma_locale.h"

#include <clocale>
#include <cstdlib>
#include <filesystem>
#include <fstream>

namespace twn::test {
namespace {

// Built once per test program, removed when the program ends.
struct LocaleFolder {
  std::string path;
  LocaleFolder() {
    const char* base = std::getenv("TMPDIR");
    std::string dir = std::string(base && *base ? base : "/tmp") + "/twn-locale-XXXXXX";
    if (!mkdtemp(dir.data())) return;
    std::ofstream(dir + "/comma") << "LC_NUMERIC\ndecimal_point \",\"\nthousands_sep \".\"\n"
                                     "grouping 3\nEND LC_NUMERIC\n";
    const std::string command =
        "localedef -c -i '" + dir + "/comma' -f UTF-8 '" + dir + "/xx_COMMA.UTF-8' >/dev/null 2>&1";
    if (std::system(command.c_str()) != -1) path = dir;
  }
  ~LocaleFolder() {
    std::error_code ec;
    if (!path.empty()) std::filesystem::remove_all(path, ec);
  }
};

const std::string& CommaLocaleFolder() {
  static const LocaleFolder folder;
  return folder.path;
}

}  // namespace

ScopedCommaLocale::ScopedCommaLocale() {
  const std::string& folder = CommaLocaleFolder();
  if (folder.empty()) return;
  old_locale_ = std::setlocale(LC_NUMERIC, nullptr);
  ::setenv("LOCPATH", folder.c_str(), 1);
  ok_ = std::setlocale(LC_NUMERIC, "xx_COMMA.UTF-8") != nullptr;
}

ScopedCommaLocale::~ScopedCommaLocale() {
  if (!old_locale_.empty()) std::setlocale(LC_NUMERIC, old_locale_.c_str());
  ::unsetenv("LOCPATH");
}

}  // namespace twn::test
