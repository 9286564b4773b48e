#include "filters/file_spec_processor.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/locale.h"

namespace twn {
namespace {

struct MatchCase {
  const char* specs;
  std::string name;
  bool expected;
};

void PrintTo(const MatchCase& c, std::ostream* os) {
  *os << '"' << c.specs << "\" vs \"" << c.name << '"';
}

class SpecMatchTest : public testing::TestWithParam<MatchCase> {};

// The match-all result is passed as false, so a list that is match-all cannot pass here by
// accident; match-all lists have their own test.
TEST_P(SpecMatchTest, AnswersAsTheMatcherRulesSay) {
  const MatchCase& c = GetParam();
  TFileSpecProcessor p;
  p.SetSpecs(c.specs);
  ASSERT_FALSE(p.IsMatchAll());
  EXPECT_EQ(p.Matches(c.name, false), c.expected);
  // The variant for upper-cased names gives the same answer once the name is upper-cased.
  EXPECT_EQ(p.MatchesUpper(platform::UpperCase(c.name), false), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Examples, SpecMatchTest,
    testing::Values(MatchCase{"*.TXT", "readme.txt", true}, MatchCase{"*.TXT", "txt", false},
                    MatchCase{"*.TXT", ".txt", true}, MatchCase{"*.TXT", "a.txt.bak", false},
                    MatchCase{"A*C", "ABC", true}, MatchCase{"A*C", "AC", true},
                    MatchCase{"A*C", "A", false}, MatchCase{"A*C", "ABCD", false},
                    MatchCase{"A*C", "XAC", false}, MatchCase{"A?C", "ABC", true},
                    MatchCase{"A?C", "AC", false}, MatchCase{"A?C", "ABBC", false},
                    MatchCase{"*A?B*", "XXAYBZZ", true}, MatchCase{"*A?B*", "AAB", true},
                    MatchCase{"*A?B*", "AXXB", false}, MatchCase{"*A?B*", "AB", false},
                    MatchCase{"??*", "AB", true}, MatchCase{"??*", "X", false},
                    MatchCase{"*.", "readme.", true}, MatchCase{"*.", "readme", false},
                    MatchCase{".", ".", true}, MatchCase{".", "readme", false},
                    MatchCase{".", "..", false}));

INSTANTIATE_TEST_SUITE_P(
    Wildcards, SpecMatchTest,
    testing::Values(
        // A floating literal and the parts chained to it are searched for as a unit: the
        // second "B" is tried when the first one is not followed by "?C".
        MatchCase{"A*B?C*", "ABBYC", true}, MatchCase{"A*B?C*", "AXBYCZZ", true},
        MatchCase{"A*B?C*", "XABYC", false}, MatchCase{"A*B?C*", "ABYX", false},
        // "?" parts before a literal: rigidly chained or floating.
        MatchCase{"?A*", "XAB", true}, MatchCase{"?A*", "XXA", false},
        MatchCase{"*?A*", "XXA", true}, MatchCase{"*?A*", "A", false},
        MatchCase{"*??A?B*", "XYAZB", true}, MatchCase{"*??A?B*", "XAZB", false},
        // A character taken by "?" is not available to the literal after it.
        MatchCase{"?*A", "A", false}, MatchCase{"?*A", "XA", true}, MatchCase{"?*?", "X", false},
        MatchCase{"?*?", "XY", true}, MatchCase{"*?", "X", true}, MatchCase{"*?", "", false},
        MatchCase{"*?A", "XA", true}, MatchCase{"*?A", "A", false},
        MatchCase{"A*B*C", "AXBXC", true}, MatchCase{"A*B*C", "ACB", false},
        MatchCase{"A*B*C", "ABC", true}, MatchCase{".*", ".profile", true},
        MatchCase{".*", "profile", false}, MatchCase{"A*", "a", true},
        MatchCase{"*AB*", "XABY", true}, MatchCase{"*AB*", "AXB", false},
        // Letter case is ignored on both sides; other bytes are compared as they are.
        MatchCase{"*.Txt", "README.TXT", true}, MatchCase{"*.txt", "readme.tXt", true},
        MatchCase{"\xC3\xA4*", "\xC3\x84.txt", false}, MatchCase{"*.TXT", "\xC3\x84\xFF.txt", true},
        // Several specs: any one matching is enough.
        MatchCase{"*.bmp; *.gif; *.jpg", "photo.JPG", true},
        MatchCase{"*.bmp; *.gif; *.jpg", "photo.png", false},
        MatchCase{"*.bmp; *.gif; *.jpg", "bmp", false},
        // The empty name matches no spec.
        MatchCase{"?", "", false}, MatchCase{"A*", "", false}));

// Names far longer than any buffer, and specs made of many parts.
INSTANTIATE_TEST_SUITE_P(
    LongInput, SpecMatchTest,
    testing::Values(MatchCase{"*.txt", std::string(100'000, 'a') + ".txt", true},
                    MatchCase{"*A?B*", std::string(100'000, 'A'), false},
                    MatchCase{"*A?B*", std::string(100'000, 'A') + "xB", true},
                    MatchCase{"*AAAAAAAAAB*", std::string(100'000, 'a'), false},
                    MatchCase{"A*Z", "a" + std::string(100'000, '\0') + "z", true}));

TEST(FileSpecProcessorTest, ParsesIntoAnchoredTailAndGroupedParts) {
  struct PartShape {
    std::string text;
    bool anchored, tail;
    std::string group;  // group texts joined, empty for none
  };
  struct Case {
    const char* spec;
    std::vector<PartShape> parts;
  };
  const Case cases[] = {
      {"*A?B*", {{"A", false, false, "A?B"}}},
      {"A*B?C*", {{"A", true, false, ""}, {"B", false, false, "B?C"}}},
      {"*AB*", {{"AB", false, false, ""}}},
      {"A*C", {{"A", true, false, ""}, {"C", false, true, ""}}},
      {"A?C", {{"A", true, true, ""}, {"?", true, true, ""}, {"C", true, true, ""}}},
      {"*?A", {{"?", false, true, ""}, {"A", true, true, ""}}},
      {"*?A*", {{"?", false, false, ""}, {"A", true, false, ""}}},
      {"A*B?C",
       {{"A", true, false, ""},
        {"B", false, true, ""},
        {"?", true, true, ""},
        {"C", true, true, ""}}},
      {"*", {{".", false, false, ""}}},
      {"*.*", {{".", false, false, ""}}},
      {".", {{".", true, true, ""}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.spec);
    TFileSpecProcessor p;
    p.SetSpecs(c.spec);
    const auto parts = p.Parts(0);
    ASSERT_EQ(parts.size(), c.parts.size());
    for (size_t i = 0; i < parts.size(); ++i) {
      SCOPED_TRACE(i);
      EXPECT_EQ(p.Text(parts[i]), c.parts[i].text);
      EXPECT_EQ(parts[i].anchored, c.parts[i].anchored);
      EXPECT_EQ(parts[i].tail, c.parts[i].tail);
      std::string group;
      for (const TSubPartItem& g : p.Group(parts[i])) group += p.Text(g);
      EXPECT_EQ(group, c.parts[i].group);
    }
  }
}

TEST(FileSpecProcessorTest, SplitsAtSeparatorsAndTrimsPieces) {
  struct Case {
    std::string text;
    std::vector<std::string> specs;
  };
  const Case cases[] = {
      {" ; *.txt ;; \t*.doc ; ", {"*.TXT", "*.DOC"}},
      {"\x01my file*\x1f", {"MY FILE*"}},
      {std::string("a\0b;\0", 5), {std::string("A\0B", 3)}},
      {";;;", {}},
      {"", {}},
      {"   ", {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    TFileSpecProcessor p;
    p.SetSpecs(c.text);
    std::vector<std::string> got;
    for (size_t i = 0; i < p.SpecCount(); ++i) got.emplace_back(p.SpecText(i));
    EXPECT_EQ(got, c.specs);
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

TEST(FileSpecProcessorTest, NulInsideANameIsAnOrdinaryCharacter) {
  TFileSpecProcessor p;
  p.SetSpecs(std::string("a\0b", 3));
  EXPECT_TRUE(p.Matches(std::string("A\0B", 3), false));
  EXPECT_FALSE(p.Matches("ab", false));
  EXPECT_FALSE(p.Matches(std::string("a\0", 2), false));
}

TEST(FileSpecProcessorTest, SpecListJoinsPatternsAndSplitsAgain) {
  TFileSpecProcessor p;
  const std::vector<std::string> patterns = {"Backup", "TEMP*;cache", "", "a*b"};
  p.SetSpecList(patterns);
  ASSERT_EQ(p.SpecCount(), 4u);
  EXPECT_EQ(p.SpecText(1), "TEMP*");
  EXPECT_EQ(p.SpecText(2), "CACHE");
  EXPECT_TRUE(p.Matches("Cache", false));
  EXPECT_FALSE(p.Matches("caches", false));
}

TEST(FileSpecProcessorTest, ReplacingOrClearingForgetsTheOldSpecs) {
  TFileSpecProcessor p;
  p.SetSpecs("*.txt");
  p.SetSpecs("*.doc");
  EXPECT_FALSE(p.Matches("a.txt", false));
  EXPECT_TRUE(p.Matches("a.doc", false));
  p.ClearSpecs();
  EXPECT_EQ(p.SpecCount(), 0u);
  EXPECT_TRUE(p.Matches("a.doc", true));
  EXPECT_FALSE(p.Matches("a.doc", false));
}

TEST(FileSpecProcessorTest, IndicesOutsideTheListGiveEmptyAnswers) {
  TFileSpecProcessor p;
  p.SetSpecs("*.txt");
  EXPECT_EQ(p.SpecText(1), "");
  EXPECT_TRUE(p.Parts(7).empty());
  EXPECT_TRUE(p.Group(p.Parts(0)[0]).empty());
}

TEST(FileSpecProcessorTest, LongSpecsParseAndMatch) {
  TFileSpecProcessor p;
  p.SetSpecs(std::string(100'000, '?'));
  EXPECT_TRUE(p.Matches(std::string(100'000, 'x'), false));
  EXPECT_FALSE(p.Matches(std::string(99'999, 'x'), false));

  std::string grouped;
  for (int i = 0; i < 25'000; ++i) grouped += "*A?B";
  p.SetSpecs(grouped + "*");
  EXPECT_EQ(p.Parts(0).size(), 25'000u);
  std::string name;
  for (int i = 0; i < 25'000; ++i) name += "AxB";
  EXPECT_TRUE(p.Matches(name, false));
  EXPECT_FALSE(p.Matches(name.substr(1), false));

  p.SetSpecs(std::string(100'000, '*'));
  EXPECT_TRUE(p.IsMatchAll());
}

}  // namespace
}  // namespace twn
