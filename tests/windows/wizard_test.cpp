#include <gtest/gtest.h>

#include "model/method_presets.h"
#include "platform/locale.h"
#include "support/test_support.h"
#include "windows/wizard_filters.h"
#include "windows/wizard_rules.h"
#include "windows/wizard_summary.h"

namespace twn {
namespace {

using platform::EncodeDateTime;

TJobData Job() {
  TJobData d(EncodeDateTime(2026, 6, 1, 21, 7, 53));
  d.JobName = "Photos";
  return d;
}

TEST(WizardSummary, ValueTexts) {
  struct Case {
    std::function<void(TJobData&)> edit;
    size_t line;
    std::string want;
  };
  const std::vector<Case> cases = {
      {[](TJobData&) {}, 0, "The job doesn't contain a pair"},
      {[](TJobData& d) { d.Pairs.resize(1); }, 0, "Contains 1 pair"},
      {[](TJobData& d) { d.Pairs.resize(3); }, 0, "Contains 3 pairs"},
      {[](TJobData&) {}, 1, "*.*"},
      {[](TJobData& d) {
         d.FileFilter.FLT_bUseExclude = true, d.FileFilter.FLT_Exclude = "*.tmp";
         d.FileFilter.FLT_bUseDate = d.FileFilter.FLT_bUseAttr = true;
       },
       1, "*.* (*.tmp)   [Datetime, Attr]"},
      {[](TJobData& d) { d.FileFilter.FLT_bUseSize = true; }, 1, "*.*   [Size]"},
      {[](TJobData&) {}, 2, "none"},
      {[](TJobData& d) { d.FolderFilter.AddPattern("b"), d.FolderFilter.AddPattern("a"); }, 2,
       "b, a"},
      {[](TJobData& d) { ApplyMethod(d, kMethodUpdate); }, 3, "Update Left and Right (Make Equal)"},
      {[](TJobData& d) { d.idxMethod = 0; }, 3, "Custom"},
      {[](TJobData& d) { d.idxMethod = kMethodCustom, d.Empty_CopyR = true; }, 3,
       "Custom; empty folders operations"},
      {[](TJobData&) {}, 4, "Equal by [Size,Time], Ignore 2 sec, Ignore daylight"},
      {[](TJobData& d) {
         d.bRulesSize = d.bRulesTime = d.bRulesNTFS = d.bRulesDaylight = false;
         d.bRulesAttr = d.bRulesTimezone = true;
         d.RulesTimezone = 3;
       },
       4, "Equal by [Attr], Adjust 3 hours"},
      {[](TJobData& d) {
         d.bRulesSize = d.bRulesTime = d.bRulesDaylight = false;
         d.bRulesTimezone = true;
       },
       4, " Ignore 2 sec, Adjust 1 hour"},
      {[](TJobData& d) { d.bRulesSize = d.bRulesTime = d.bRulesNTFS = d.bRulesDaylight = false; },
       4, "none"},
      {[](TJobData& d) { d.ExcludeDays = kMonday; }, 5, " manual run"},
      {[](TJobData& d) {
         d.Frequency = kFreqMinutes, d.freMinutes = 15, d.ExcludeDays = kMonday | kSunday;
       },
       5, "Run every 15 minutes except  Mon, Sun"},
      {[](TJobData& d) { d.Frequency = kFreqHours, d.freHours = 2; }, 5, "Run every 2 hours"},
      {[](TJobData& d) { d.Frequency = kFreqDaily; }, 5, "Run once a day at 21:07:53"},
      {[](TJobData& d) { d.Frequency = kFreqDays, d.freDays = 7; }, 5, "Run every 7 days"},
      {[](TJobData& d) { d.LogFull_bUse = false; }, 6, "Storing log-files: Summary, Error"},
      {[](TJobData& d) { d.LogFull_bUse = d.LogSummary_bUse = d.LogError_bUse = false; }, 6,
       "No log file would be stored"},
  };
  for (const Case& c : cases) {
    TJobData d = Job();
    c.edit(d);
    EXPECT_EQ(SummaryTexts(d)[c.line], c.want);
  }
}

TEST(WizardRules, ProposedNameAndValidation) {
  const std::vector<std::string> names = {"New Job 1", " photos ", "Music", "new job 3"};
  EXPECT_EQ(ProposedJobName("New Job", names), "New Job 2");
  EXPECT_EQ(ProposedJobName("New Job 1", names), "New Job 1");
  EXPECT_EQ(ProposedJobName("new job", names), "new job");

  struct Case {
    std::string name;
    int32_t frequency;
    int32_t days;
    std::string title;  // empty: saves
    int page;
  };
  const std::vector<Case> cases = {
      {"PHOTOS", 0, 0, "", 0},  // its own name in another case
      {"Backup", kFreqManual, kAllDays, "", 0},
      {"music", 0, 0, "Warning: incorrect field", 0},
      {"a:b", 0, 0, "Warning: incorrect field", 0},
      {"", 0, 0, "Warning: incorrect field", 0},
      {"Backup", kFreqDays, kAllDays, "Warning: incorrect scheduling settings", 6},
      {"a|b", kFreqDays, kAllDays, "Warning: incorrect field", 0},  // name first
  };
  for (const Case& c : cases) {
    TJobData d = Job();
    d.JobName = c.name, d.Frequency = c.frequency, d.ExcludeDays = c.days;
    const auto problem = ValidateJob(d, names, JobNameKey(" Photos"));
    EXPECT_EQ(problem ? problem->Title : "", c.title) << c.name;
    if (problem) {
      EXPECT_EQ(problem->Page, c.page) << c.name;
      EXPECT_EQ(problem->FocusName, c.page == 0) << c.name;
    }
  }
  TJobData d = Job();
  d.JobName = "music";
  EXPECT_EQ(ValidateJob(d, names, JobNameKey("x"))->Text,
            "Job should have unique name. Please type another name.");
  d = Job();
  d.bKeepVersions = true, d.VersionsFolder = "relative";
  EXPECT_EQ(ValidateJob(d, names, JobNameKey(" Photos")).value_or(TWizardProblem{}).Page,
            kWizardPageMethods);
}

TEST(WizardRules, PairCheck) {
  test::TempDir dir;
  test::MakeDirs(dir / "a/inner");
  test::MakeDirs(dir / "b");
  struct Case {
    std::string left, right;
    bool error, warning;
  };
  const std::vector<Case> cases = {
      {dir / "a", dir / "b", false, false},
      {"", dir / "b", true, false},
      {dir / "a", "  ", true, false},
      {dir / "a", dir / "b\nx", true, false},
      {dir / "a", dir / "a/", false, true},
      {dir / "a/inner", dir / "a", false, true},
      {dir / "a", dir / "a/inner/new", false, true},
      {dir / "ab", dir / "a", false, false},
  };
  for (const Case& c : cases) {
    TPairItem p;
    p.L_Path = c.left, p.R_Path = c.right;
    const TPairCheck check = CheckPair(p);
    EXPECT_EQ(!check.Error.empty(), c.error) << c.left << " | " << c.right;
    EXPECT_EQ(!check.Warning.empty(), c.warning) << c.left << " | " << c.right;
  }
}

TEST(WizardRules, BasketSortAndMenu) {
  std::vector<TPairItem> pairs(3);
  pairs[0].L_Path = "/x/Zeta", pairs[0].R_Path = "/r/b";
  pairs[1].L_Path = "/m/Alpha", pairs[1].R_Path = "/r/a";
  pairs[2].L_Path = "/a/beta", pairs[2].R_Path = "/r/a";
  for (TPairItem& p : pairs) p.RefreshKeys();
  struct Case {
    bool left;
    int entry;
    std::vector<size_t> order;  // original indices after sorting
  };
  const std::vector<Case> cases = {
      {true, 0, {2, 1, 0}},  // full left path ascending
      {true, 1, {0, 1, 2}},  // ... descending
      {true, 2, {1, 2, 0}},  // last name: Alpha, beta, Zeta
      {true, 3, {0, 2, 1}},
      {false, 0, {2, 1, 0}},  // right paths of 1 and 2 equal: the left path decides
      {false, 3, {0, 2, 1}},  // equal last names: the other side decides
  };
  for (const Case& c : cases) {
    std::vector<TPairItem> sorted = pairs;
    const int32_t mode = BasketSortMode(c.left, c.entry);
    EXPECT_EQ(SortPairs(sorted, mode), c.order) << c.left << c.entry;
    for (size_t i = 0; i < sorted.size(); ++i)
      EXPECT_EQ(sorted[i].L_Path, pairs[c.order[i]].L_Path);
    EXPECT_EQ(CheckedSortEntry(mode, c.left), c.entry);
    EXPECT_EQ(CheckedSortEntry(mode, !c.left), -1);
  }
  EXPECT_EQ(CheckedSortEntry(5, false), 0);  // the stored default
}

TEST(WizardRules, AttributeBoxesRoundTrip) {
  using B = std::array<TTriState, 4>;
  const std::vector<std::tuple<uint32_t, uint32_t, B>> cases = {
      {0, 0, {tsGrey, tsGrey, tsGrey, tsGrey}},
      {0x20, 0x02, {tsTicked, tsGrey, tsCleared, tsGrey}},
      {0x05, 0x00, {tsGrey, tsTicked, tsGrey, tsTicked}},
  };
  for (const auto& [inc, exc, boxes] : cases) {
    EXPECT_EQ(AttrBoxes(inc, exc), boxes);
    uint32_t i = 99, e = 99;
    AttrMasks(boxes, i, e);
    EXPECT_EQ(i, inc);
    EXPECT_EQ(e, exc);
  }
}

TEST(WizardRules, ScheduleViewAndClamp) {
  EXPECT_EQ(ScheduleView(kFreqManual).Label, "The profile will not run periodically.");
  const std::vector<std::tuple<int32_t, TScheduleNumber, bool, bool>> views = {
      {kFreqManual, TScheduleNumber::kNone, false, false},
      {kFreqMinutes, TScheduleNumber::kMinutes, false, true},
      {kFreqHours, TScheduleNumber::kHours, false, true},
      {kFreqDaily, TScheduleNumber::kNone, true, true},
      {kFreqDays, TScheduleNumber::kDays, true, true},
  };
  for (const auto& [freq, number, start, before] : views) {
    const TScheduleView v = ScheduleView(freq);
    EXPECT_EQ(v.Number, number) << freq;
    EXPECT_EQ(v.StartTime, start) << freq;
    EXPECT_EQ(v.RunBefore, before) << freq;
    EXPECT_EQ(v.Label.empty(), freq == kFreqDaily) << freq;
  }
  const std::vector<std::pair<std::string, int32_t>> typed = {{"2000", 900},
                                                              {"0", 1},
                                                              {"abc", 1},
                                                              {"", 1},
                                                              {" 45 ", 45},
                                                              {"-5", 1},
                                                              {"99999999999999999999999", 900},
                                                              {"12a", 1}};
  for (const auto& [text, want] : typed) EXPECT_EQ(ClampTyped(text, 1, 900), want) << text;
}

TEST(WizardRules, LogControlsAndNames) {
  struct Case {
    bool use, create_new, overwrite;
    TLogControls want;
  };
  const std::vector<Case> cases = {
      {true, false, false, {true, true, true}},
      {true, false, true, {true, true, false}},
      {true, true, false, {true, false, false}},
      {false, false, false, {false, false, false}},
  };
  for (const Case& c : cases) {
    const TLogControls got = LogControls({c.use, c.create_new, c.overwrite, 1000});
    EXPECT_EQ(std::tie(got.Mode, got.Overwrite, got.MaxSize),
              std::tie(c.want.Mode, c.want.Overwrite, c.want.MaxSize));
  }
  TJobData d = Job();
  d.LogError_bCreateNew = true;
  const auto now = EncodeDateTime(2004, 3, 6, 4, 44, 0);
  EXPECT_EQ(ExampleLogName(d, lkFull, now), "Photos_full.log");
  EXPECT_EQ(ExampleLogName(d, lkError, now), "Photos_error (March 6, 2004 at 04-44).log");
}

TEST(WizardRules, PatternsAndHistory) {
  TFolderFilter f;
  f.AddPattern("Temp");
  for (const char* bad : {"", "   ", "a\\b", "a/b", "c:", "temp", " TEMP ", "a\nb"})
    EXPECT_FALSE(CanAddPattern(bad, f)) << bad;
  EXPECT_EQ(AddTypedPattern("  Cache ", f), 0);
  EXPECT_EQ(f.Patterns(), (std::vector<std::string>{"Cache", "Temp"}));
  EXPECT_EQ(AddTypedPattern("temp", f), -1);

  std::vector<std::string> history = {"*.doc", "*.TXT;", "*.a", "*.b"};
  PushHistory(history, "*.txt", 3);
  EXPECT_EQ(history, (std::vector<std::string>{"*.txt", "*.doc", "*.a"}));
  PushHistory(history, "  ", 3);
  EXPECT_EQ(history.front(), "*.txt");
}

TEST(WizardFilters, ListOperations) {
  std::vector<TFolderFilter> list(3);
  list[0].FilterName = "Alpha", list[1].FilterName = "Beta", list[2].FilterName = "Gamma";
  TFolderFilter mine;
  mine.AddPattern("x");
  EXPECT_EQ(FindFilterName(FilterNames(list), "beta"), 1);
  EXPECT_EQ(FindFilterName(FilterNames(list), "Delta"), -1);
  EXPECT_EQ(SaveFilterAs(list, mine, "Delta", -1), 3);
  EXPECT_EQ(SaveFilterAs(list, mine, "BETA2", 1), 1);  // overwriting takes the typed name
  EXPECT_EQ(list[1].FilterName, "BETA2");
  EXPECT_EQ(list[1].Patterns(), mine.Patterns());
  EXPECT_TRUE(MoveFilter(list, 3, 0));
  EXPECT_FALSE(MoveFilter(list, 2, 2));
  EXPECT_FALSE(MoveFilter(list, 0, 4));
  EXPECT_TRUE(MoveFilter(list, 1, 2));
  std::vector<std::string> names;
  for (const auto& f : list) names.push_back(f.FilterName);
  EXPECT_EQ(names, (std::vector<std::string>{"Delta", "BETA2", "Alpha", "Gamma"}));
  EXPECT_EQ(DeleteFilter(list, 1), 1);  // same place
  EXPECT_EQ(DeleteFilter(list, 2), 1);  // the last one: the new last
  EXPECT_EQ(DeleteFilter(list, 0), 0);
  EXPECT_EQ(DeleteFilter(list, 0), -1);
  EXPECT_TRUE(list.empty());

  const TFilterCommands first = FilterCommands(0, 3), last = FilterCommands(2, 3);
  EXPECT_TRUE(first.Down && !first.Up && last.Up && !last.Down && first.Set);
  EXPECT_FALSE(FilterCommands(-1, 3).Delete);
  EXPECT_NE(FilterNameProblem("  "), "");
  EXPECT_EQ(FilterNameTexts(true, false).HelpContext, 21);
}

}  // namespace
}  // namespace twn
