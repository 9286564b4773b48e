#pragma once
// Help topics: which page a help context number opens, where that page lives, and which
// context a widget without one of its own borrows from the widgets around it.
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace twn {

// Folder of the help pages, beside the program.
inline constexpr std::string_view kHelpFolderName = "TWN-help";
// Page for a context number the table does not know, and for "no context at all".
inline constexpr std::string_view kDefaultHelpPage = "what_is_twn.html";

/// Every page of the topic table, in context order (context 1 first).
std::span<const std::string_view> HelpTopicPages();

/// The page file name of a help context; unknown numbers give kDefaultHelpPage.
std::string_view HelpPageForContext(int context);

/// Full path of the context's page in the help folder of programDir (with or without a
/// trailing separator). Does not look at the disk.
std::string HelpPagePath(std::string_view programDir, int context);

/// The help folder of the program in programDir: programDir/TWN-help, or, for a program
/// installed in a bin/ folder, programDir/../share/twinward/TWN-help. Nothing when neither
/// is a folder.
std::optional<std::string> HelpFolder(std::string_view programDir);

/// The path of the page file `page` in the program's help folder when both exist; otherwise
/// nothing, and the caller shows nothing (a missing help folder is not an error). A page is
/// a plain file name: one holding a path separator gives nothing.
std::optional<std::string> ExistingHelpTopic(std::string_view programDir, std::string_view page);

/// ExistingHelpTopic for the page of a help context.
std::optional<std::string> ExistingHelpPage(std::string_view programDir, int context);

struct THelpOptions {
  bool inheritWindowContext = true;  // the window's own context counts for its widgets
  bool helpWithoutContext = true;    // no context anywhere still opens the default page
};

/// The context F1 uses. chain holds the help context (0 = none) of the focused widget, then
/// of each parent, ending with its own window; nothing above that window is looked at. A
/// label should contribute its buddy's context when it has none itself. The first nonzero
/// value wins; with none, 0 (the default page) or nothing (no help), as options say.
std::optional<int> EffectiveHelpContext(std::span<const int> chain, THelpOptions options = {});

}  // namespace twn
