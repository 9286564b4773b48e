#include "filters/folder_filter.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "filters/file_spec_processor.h"

namespace twn {
namespace {

TFolderFilter FilterOf(const std::vector<std::string>& patterns) {
  TFolderFilter f;
  for (const std::string& p : patterns) f.AddPattern(p);
  return f;
}

TEST(FolderFilterTest, NormalizeDropsBlanksSortsAndRemovesRepeats) {
  struct Case {
    std::vector<std::string> in, out;
  };
  const Case cases[] = {
      // Patterns that differ in letter case are both kept.
      {{"Temp", "temp", "", "Backup"}, {"Backup", "Temp", "temp"}},
      {{"Temp", "temp", "Temp", " \t"}, {"Temp", "temp"}},
      // Equal once trimmed: the last of the run stays, its text untouched.
      {{"Temp ", "Temp"}, {"Temp "}},
      {{"b", "A", "c"}, {"A", "b", "c"}},
      {{"\xC3\xA9t\xC3\xA9", "zz", "Zz"}, {"Zz", "zz", "\xC3\xA9t\xC3\xA9"}},
      {{}, {}},
  };
  for (const Case& c : cases) {
    TFolderFilter f = FilterOf(c.in);
    f.Normalize();
    EXPECT_EQ(c.out, f.Patterns());
  }
}

TEST(FolderFilterTest, PatternsByIndexAndText) {
  TFolderFilter f = FilterOf({"Backup", "TEMP*"});
  EXPECT_EQ("TEMP*", f.GetPattern(1));
  EXPECT_EQ("", f.GetPattern(2));
  EXPECT_EQ("", f.GetPattern(-1));
  EXPECT_EQ(1, f.IndexOfPattern("temp*"));
  EXPECT_EQ(-1, f.IndexOfPattern("temp"));
  f.DeletePattern(5);
  f.DeletePattern(-1);
  f.DeletePattern(0);
  EXPECT_EQ(std::vector<std::string>{"TEMP*"}, f.Patterns());
  f.ClearPatterns();
  EXPECT_EQ(0, f.Count());
}

TEST(FolderFilterTest, ExcludesFolderNamesMatchingAnyPattern) {
  const struct {
    std::vector<std::string> patterns;
    const char* folder;
    bool excluded;
  } cases[] = {
      {{"Backup", "TEMP*"}, "backup", true},
      {{"Backup", "TEMP*"}, "Temp", true},
      {{"Backup", "TEMP*"}, "Temporary", true},
      {{"Backup", "TEMP*"}, "MyTemp", false},
      {{"Backup", "TEMP*"}, "Backups", false},
      // A star-only pattern makes the whole list exclude nothing.
      {{"Backup", "*"}, "Backup", false},
      {{"Backup", "*.*"}, "Backup", false},
      {{"a;b"}, "b", true},
      {{"x/y"}, "y", false},
      {{}, "anything", false},
  };
  for (const auto& c : cases) {
    TFileSpecProcessor p;
    FilterOf(c.patterns).LoadInto(p);
    EXPECT_EQ(c.excluded, p.Matches(c.folder, false)) << c.folder;
  }
}

}  // namespace
}  // namespace twn
