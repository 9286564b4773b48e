#include "filters/file_spec_processor.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/locale.h"

namespace twn {
namespace {

using namespace std::string_literals;

// The match-all result is passed as false, so a list that is match-all cannot pass here by
// accident; match-all lists have their own test.
TEST(FileSpecProcessorTest, MatchesAsTheMatcherRulesSay) {
  const std::string big(100'000, 'A');
  const struct {
    std::string specs;
    std::vector<std::string> matching, other;
  } cases[] = {
      {"*.TXT", {"readme.txt", ".txt", "\xC3\x84\xFF.txt"}, {"txt", "a.txt.bak"}},
      {"A*C", {"ABC", "AC"}, {"A", "ABCD", "XAC"}},
      {"A?C", {"ABC"}, {"AC", "ABBC"}},
      {"*A?B*", {"XXAYBZZ", "AAB", big + "xB"}, {"AXXB", "AB", big}},
      {"??*", {"AB"}, {"X"}},
      {"*.", {"readme."}, {"readme"}},
      {".", {"."}, {"readme", ".."}},
      // A floating literal and the parts chained to it are searched for as a unit: the second
      // "B" is tried when the first one is not followed by "?C".
      {"A*B?C*", {"ABBYC", "AXBYCZZ"}, {"XABYC", "ABYX"}},
      // "?" parts before a literal: rigidly chained or floating.
      {"?A*", {"XAB"}, {"XXA"}},
      {"*?A*", {"XXA"}, {"A"}},
      {"*??A?B*", {"XYAZB"}, {"XAZB"}},
      // A character taken by "?" is not available to the literal after it.
      {"?*A", {"XA"}, {"A"}},
      {"?*?", {"XY"}, {"X"}},
      {"*?", {"X"}, {""}},
      {"*?A", {"XA"}, {"A"}},
      {"A*B*C", {"AXBXC", "ABC"}, {"ACB"}},
      {".*", {".profile"}, {"profile"}},
      {"A*", {"a"}, {""}},
      {"*AB*", {"XABY"}, {"AXB"}},
      // Letter case is ignored on both sides; other bytes are compared as they are.
      {"*.Txt", {"README.TXT", "readme.tXt"}, {}},
      {"\xC3\xA4*", {}, {"\xC3\x84.txt"}},
      // Several specs: any one matching is enough.
      {"*.bmp; *.gif; *.jpg", {"photo.JPG"}, {"photo.png", "bmp"}},
      {"?", {}, {""}},
      // NUL is an ordinary character, in specs and names of any length.
      {"a\0b"s, {"A\0B"s}, {"ab", "a\0"s}},
      {"A*Z", {"a" + std::string(100'000, '\0') + "z"}, {}},
      {"*.txt", {std::string(100'000, 'a') + ".txt"}, {}},
      {"*AAAAAAAAAB*", {}, {std::string(100'000, 'a')}},
  };
  for (const auto& c : cases) {
    TFileSpecProcessor p;
    p.SetSpecs(c.specs);
    ASSERT_FALSE(p.IsMatchAll()) << c.specs;
    for (bool expected : {true, false}) {
      for (const std::string& name : expected ? c.matching : c.other) {
        SCOPED_TRACE("\"" + c.specs + "\" vs \"" + name.substr(0, 40) + "\"");
        EXPECT_EQ(expected, p.Matches(name, false));
        // The variant for upper-cased names answers the same once the name is upper-cased.
        EXPECT_EQ(expected, p.MatchesUpper(platform::UpperCase(name), false));
      }
    }
  }
}

TEST(FileSpecProcessorTest, SplitsAtSeparatorsAndTrimsPieces) {
  const std::pair<std::string, std::vector<std::string>> cases[] = {
      {" ; *.txt ;; \t*.doc ; ", {"*.TXT", "*.DOC"}},
      {"\x01my file*\x1f", {"MY FILE*"}},
      {"a\0b;\0"s, {"A\0B"s}},
      {";;;", {}},
      {"", {}},
      {"   ", {}},
  };
  for (const auto& [text, specs] : cases) {
    TFileSpecProcessor p;
    p.SetSpecs(text);
    std::vector<std::string> got;
    for (size_t i = 0; i < p.SpecCount(); ++i) got.emplace_back(p.SpecText(i));
    EXPECT_EQ(specs, got) << text;
  }
}

TEST(FileSpecProcessorTest, MatchAllListsAnswerTheCallersResult) {
  // Include lists ask with true, exclude lists and folder patterns with false; a list holding
  // a spec of stars only answers that at once, whatever else it holds.
  for (const char* text : {"*.*", "*", "**", "**.**", "", " ; ;", "*.tmp; *", "*.*; readme"}) {
    SCOPED_TRACE(text);
    TFileSpecProcessor p;
    p.SetSpecs(text);
    EXPECT_TRUE(p.IsMatchAll());
    for (const char* name : {"readme", "a.tmp", ""}) {
      EXPECT_TRUE(p.Matches(name, true));
      EXPECT_FALSE(p.Matches(name, false));
      EXPECT_FALSE(p.MatchesUpper(name, false));
    }
  }
  // Specs close to the match-all form are ordinary specs.
  for (const char* text : {".*", "*.", "*.**X", "?*", "."}) {
    TFileSpecProcessor p;
    p.SetSpecs(text);
    EXPECT_FALSE(p.IsMatchAll()) << text;
  }
}

TEST(FileSpecProcessorTest, ListsAreJoinedReplacedAndCleared) {
  TFileSpecProcessor p;
  const std::vector<std::string> patterns = {"Backup", "TEMP*;cache", "", "a*b"};
  p.SetSpecList(patterns);
  ASSERT_EQ(4u, p.SpecCount());
  EXPECT_EQ("TEMP*", p.SpecText(1));
  EXPECT_EQ("CACHE", p.SpecText(2));
  EXPECT_TRUE(p.Matches("Cache", false));
  EXPECT_FALSE(p.Matches("caches", false));
  // Indices outside the list give empty answers.
  EXPECT_EQ("", p.SpecText(4));
  EXPECT_TRUE(p.Parts(7).empty());
  EXPECT_TRUE(p.Group(p.Parts(0)[0]).empty());

  p.SetSpecs("*.doc");
  EXPECT_FALSE(p.Matches("backup", false));
  EXPECT_TRUE(p.Matches("a.doc", false));
  p.ClearSpecs();
  EXPECT_EQ(0u, p.SpecCount());
  EXPECT_TRUE(p.Matches("a.doc", true));
  EXPECT_FALSE(p.Matches("a.doc", false));
}

TEST(FileSpecProcessorTest, LongSpecsParseAndMatch) {
  TFileSpecProcessor p;
  p.SetSpecs(std::string(100'000, '?'));
  EXPECT_TRUE(p.Matches(std::string(100'000, 'x'), false));
  EXPECT_FALSE(p.Matches(std::string(99'999, 'x'), false));

  std::string grouped, name;
  for (int i = 0; i < 25'000; ++i) {
    grouped += "*A?B";
    name += "AxB";
  }
  p.SetSpecs(grouped + "*");
  EXPECT_EQ(25'000u, p.Parts(0).size());
  EXPECT_TRUE(p.Matches(name, false));
  EXPECT_FALSE(p.Matches(name.substr(1), false));

  p.SetSpecs(std::string(100'000, '*'));
  EXPECT_TRUE(p.IsMatchAll());
}

}  // namespace
}  // namespace twn
