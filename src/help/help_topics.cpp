#include "help/help_topics.h"

#include <array>
#include <filesystem>
#include <system_error>

namespace twn {
namespace {

// Index = context number - 1. The page names are fixed: other windows, Help buttons and the
// shipped pages all refer to them.
constexpr std::array<std::string_view, 33> kTopicPages = {
    "jw_job_settings.html",            // 1: job wizard, page 1 ...
    "jw_comparing_folders.html",       //
    "jw_file_filters.html",            //
    "jw_folder_filters.html",          //
    "jw_synchronize_methods.html",     //
    "jw_comparison_rules.html",        //
    "jw_scheduling.html",              //
    "jw_log_settings.html",            // ... 8: page 8
    "tutorial_1.html",                 // 9: tutorial links 1 to 5
    "tutorial_2.html",                 //
    "tutorial_3.html",                 //
    "tutorial_4.html",                 //
    "tutorial_5.html",                 //
    "tutorials.html",                  // 14
    "main_window.html",                // 15
    "quick_info_window.html",          // 16
    "options_window.html",             // 17
    "log_viewer.html",                 // 18
    "save_file_filter.html",           // 19
    "rename_file_filter.html",         // 20
    "save_folder_filter.html",         // 21
    "rename_folder_filter.html",       // 22
    "add_a_pair.html",                 // 23
    "create_folder.html",              // 24
    "getting_directories_names.html",  // 25
    "create_shortcut.html",            // 26
    "visual_run_1.html",               // 27: Visual run phases 1 to 6
    "visual_run_2.html",               //
    "visual_run_3.html",               //
    "visual_run_4.html",               //
    "visual_run_5.html",               //
    "visual_run_6.html",               // 32
    "versions.html",                   // 33
};

}  // namespace

std::span<const std::string_view> HelpTopicPages() {
  return kTopicPages;
}

std::string_view HelpPageForContext(int context) {
  if (context < 1 || context > static_cast<int>(kTopicPages.size())) return kDefaultHelpPage;
  return kTopicPages[static_cast<size_t>(context - 1)];
}

std::string HelpPagePath(std::string_view programDir, int context) {
  // path::operator/ copes with a trailing separator on programDir.
  return (std::filesystem::path(programDir) / kHelpFolderName / HelpPageForContext(context))
      .string();
}

std::optional<std::string> HelpFolder(std::string_view programDir) {
  const std::filesystem::path dir(programDir);
  std::error_code ec;  // unreadable counts as missing: help must never raise an error
  if (std::filesystem::is_directory(dir / kHelpFolderName, ec))
    return (dir / kHelpFolderName).string();
  const std::filesystem::path installed = dir / ".." / "share" / "twinward" / kHelpFolderName;
  if (!std::filesystem::is_directory(installed, ec)) return std::nullopt;
  // Resolved on the disk, not by text: bin/ may be a symbolic link.
  const std::filesystem::path resolved = std::filesystem::canonical(installed, ec);
  return (ec ? installed : resolved).string();
}

std::optional<std::string> ExistingHelpTopic(std::string_view programDir, std::string_view page) {
  if (page.empty() || page.find('/') != std::string_view::npos || page == "." || page == "..")
    return std::nullopt;
  const std::optional<std::string> folder = HelpFolder(programDir);
  if (!folder) return std::nullopt;
  std::string path = (std::filesystem::path(*folder) / page).string();
  std::error_code ec;
  if (!std::filesystem::is_regular_file(path, ec)) return std::nullopt;
  return path;
}

std::optional<std::string> ExistingHelpPage(std::string_view programDir, int context) {
  return ExistingHelpTopic(programDir, HelpPageForContext(context));
}

std::optional<int> EffectiveHelpContext(std::span<const int> chain, THelpOptions options) {
  for (size_t i = 0; i < chain.size(); ++i) {
    bool isWindow = i + 1 == chain.size();
    if (isWindow && !options.inheritWindowContext) break;
    if (chain[i] != 0) return chain[i];
  }
  if (options.helpWithoutContext) return 0;
  return std::nullopt;
}

}  // namespace twn
