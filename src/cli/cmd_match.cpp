// twn-cli match: tries a file filter's name specs or a folder filter's patterns on names given
// on the command line, so a user can see what a filter selects before running a job.
#include <cstdio>
#include <optional>
#include <string>
#include <vector>

#include "cli/commands.h"
#include "filters/file_filter.h"
#include "filters/file_spec_processor.h"
#include "filters/folder_filter.h"

namespace twn::cli {
namespace {

constexpr std::string_view kUsage =
    "twn-cli match --include SPECS [--exclude SPECS] [--] NAME...\n"
    "       twn-cli match --folders PATTERNS [--] NAME...";

struct MatchArgs {
  std::optional<std::string> include, exclude, folders;
  std::vector<std::string_view> names;
};

/// Reads the options and names; on a mistake returns the message for the user.
std::optional<std::string> ParseArgs(Args args, MatchArgs& out) {
  bool options_done = false;
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string_view word = args[i];
    if (options_done || !word.starts_with("-") || word == "-") {
      out.names.push_back(word);
      continue;
    }
    if (word == "--") {
      options_done = true;
      continue;
    }
    std::optional<std::string>* slot = word == "--include"   ? &out.include
                                       : word == "--exclude" ? &out.exclude
                                       : word == "--folders" ? &out.folders
                                                             : nullptr;
    if (!slot) return "unknown option '" + std::string(word) + "' (use -- before such a name)";
    if (slot->has_value()) return std::string(word) + " is given twice";
    if (i + 1 >= args.size()) return std::string(word) + " needs a list of specs";
    *slot = std::string(args[++i]);
  }
  if (out.folders && (out.include || out.exclude))
    return "--folders cannot be combined with --include or --exclude";
  if (!out.folders && !out.include)
    return out.exclude ? "--exclude needs --include" : "--include or --folders is required";
  if (out.names.empty()) return "no names to match";
  return std::nullopt;
}

void PrintVerdict(bool plus, std::string_view name) {
  std::fputs(plus ? "+ " : "- ", stdout);
  std::fwrite(name.data(), 1, name.size(), stdout);
  std::fputc('\n', stdout);
}

void MatchFiles(const MatchArgs& a) {
  TFileFilter filter;
  filter.FLT_Include = *a.include;
  filter.FLT_bUseExclude = a.exclude.has_value();
  filter.FLT_Exclude = a.exclude.value_or("");
  TFileSpecProcessor include, exclude;
  include.SetSpecs(filter.FLT_Include);
  exclude.SetSpecs(filter.FLT_Exclude);
  for (std::string_view name : a.names) {
    const bool selected =
        include.Matches(name, true) && !(filter.FLT_bUseExclude && exclude.Matches(name, false));
    PrintVerdict(selected, name);
  }
}

void MatchFolders(const MatchArgs& a) {
  TFolderFilter filter;
  filter.AddPattern(*a.folders);
  TFileSpecProcessor patterns;
  filter.LoadInto(patterns);
  for (std::string_view name : a.names) PrintVerdict(patterns.Matches(name, false), name);
}

}  // namespace

int CmdMatch(const Context&, Args args) {
  if (args.size() == 1 && args[0] == "--help") {
    std::printf("usage: %.*s\n", int(kUsage.size()), kUsage.data());
    return kExitOk;
  }
  MatchArgs parsed;
  if (const auto error = ParseArgs(args, parsed)) return UsageError(*error, kUsage);
  if (parsed.folders)
    MatchFolders(parsed);
  else
    MatchFiles(parsed);
  if (std::fflush(stdout) != 0 || std::ferror(stdout)) {
    std::fprintf(stderr, "twn-cli: cannot write the answers\n");
    return kExitRunErrors;
  }
  return kExitOk;
}

}  // namespace twn::cli
