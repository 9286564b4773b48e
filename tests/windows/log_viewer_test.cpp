#include "windows/log_viewer.h"

#include <gtest/gtest.h>

#include "app/settings.h"
#include "platform/time.h"

namespace twn {
namespace {

TEST(LogViewerTest, KindByTheNameALogIsWrittenUnder) {
  const std::pair<const char*, const char*> cases[] = {
      {"/l/Backup_error (March 6, 2004 at 04-44).log", "Error"},
      {"/l/Backup_full.log", "Full"},
      {"/l/Backup_summary (May 1, 2020 at 10-00).log", "Summary"},
      {"/l/Backup_full.txt", ""},
      {"/l/fullsummary.log", ""},
  };
  for (const auto& [path, kind] : cases) EXPECT_EQ(kind, LogKindOf(path)) << path;
}

// Each state of the window: its captions, what is enabled, what the text pane and the status
// bar show. Flags: J job info, L log list, T text, F find, R remove, D remove dead.
TEST(LogViewerTest, CaptionsEnablingAndPanels) {
  TLogViewerInput none;
  none.job_selected = false;
  TLogViewerInput empty;
  empty.job_selected = true;
  empty.job_name = "Backup";
  TLogViewerInput listed = empty;
  listed.log_count = 3;
  TLogViewerInput shown = listed;
  shown.log_selected = true;
  shown.path = "/l/Backup_error (March 6, 2004 at 04-44).log";
  shown.byte_count = 12345;
  shown.line_breaks = 1233;
  shown.time_known = true;
  shown.modified = platform::EncodeDateTime(2004, 3, 6, 4, 44, 5);
  TLogViewerInput failed = shown;
  failed.read_ok = false;
  TLogViewerInput untimed = shown;
  untimed.time_known = false;
  struct Case {
    const char* name;
    TLogViewerInput in;
    const char* flags;
    const char* list_caption;
    const char* text_caption;
    std::string placeholder;
    std::vector<std::string> panels;
  };
  const std::string bad = " *** error reading file '" + shown.path + "' ***";
  const Case cases[] = {
      {"no job", none, "", "Job is not selected", "", " *** there are no lines ***", {""}},
      {"no logs",
       empty,
       "J",
       "The job doesn't have log files",
       "There is no selected log",
       " *** there are no lines ***",
       {""}},
      {"listed",
       listed,
       "JLD",
       "The job contains 3 log files",
       "There is no selected log",
       " *** there are no lines ***",
       {""}},
      {"shown",
       shown,
       "JLTFRD",
       "The job contains 3 log files",
       "Error log file for the job 'Backup'",
       "",
       {"1: 1", "1 234 lines", "12 345 bytes", "modified 03/06/04 04:44:05", shown.path}},
      {"unreadable",
       failed,
       "JLRD",
       "The job contains 3 log files",
       "Error log file for the job 'Backup'",
       bad,
       {""}},
      {"no time",
       untimed,
       "JLTFRD",
       "The job contains 3 log files",
       "Error log file for the job 'Backup'",
       "",
       {"1: 1", "1 234 lines", "12 345 bytes", "modified unknown", shown.path}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const TLogViewerView v = ComputeLogViewer(c.in);
    std::string flags;
    for (const auto& [on, f] : {std::pair{v.job_info_enabled, 'J'},
                                {v.log_list_enabled, 'L'},
                                {v.text_enabled, 'T'},
                                {v.find_enabled, 'F'},
                                {v.remove_enabled, 'R'},
                                {v.remove_dead_enabled, 'D'}})
      if (on) flags += f;
    EXPECT_EQ(c.flags, flags);
    EXPECT_EQ(c.list_caption, v.log_list_caption);
    EXPECT_EQ(c.in.job_selected && c.in.log_count == 0, v.no_stored_logs);
    EXPECT_EQ(c.text_caption, v.text_caption);
    EXPECT_EQ(c.placeholder, v.placeholder);
    EXPECT_EQ(c.panels, v.panels);
  }
}

TEST(LogViewerTest, SearchHistoryKeepsTrimmedTextsOnceAndNewestFirst) {
  std::vector<std::string> history = {"folder", "copy"};
  AddSearchText(history, "  Copy ");
  AddSearchText(history, "   ");
  EXPECT_EQ((std::vector<std::string>{"Copy", "folder"}), history);
  for (int i = 0; i < 150; ++i) AddSearchText(history, "t" + std::to_string(i));
  EXPECT_EQ(kSearchHistoryLimit, history.size());
  EXPECT_EQ("t149", history.front());
}

TEST(LogViewerTest, LogEntryFoundByItsTrimmedPath) {
  const std::vector<std::string> history = {"/l/a.log", " /l/b.log ", "/l/c.log"};
  EXPECT_EQ(1, FindLogEntry(history, "/l/b.log"));
  EXPECT_EQ(2, FindLogEntry(history, " /l/c.log"));
  EXPECT_EQ(-1, FindLogEntry(history, "/l/d.log"));
}

}  // namespace
}  // namespace twn
