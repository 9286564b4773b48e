#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/fs.h"
#include "platform/locale.h"
#include "support/test_support.h"

namespace twn::platform {
namespace {

TEST(LocaleTest, UpCaseFoldsAsciiOnlyAndKeepsOffsets) {
  const std::string name = "abc\xc3\xa4z{\x7f Ab";
  const std::string up = UpperCase(name);
  EXPECT_EQ("ABC\xc3\xa4Z{\x7f AB", up);
  EXPECT_EQ(name.size(), up.size());
  EXPECT_TRUE(SameText("Hello.TXT", "hello.txt"));
  EXPECT_FALSE(SameText("\xc3\xa4", "\xc3\x84"));
  EXPECT_FALSE(SameText("a", "ab"));
}

TEST(LocaleTest, CLocaleTexts) {
  EXPECT_EQ('.', DecimalSeparator());
  EXPECT_EQ("March", LongMonthName(3));
  EXPECT_EQ("", LongMonthName(0));
  EXPECT_EQ("", LongMonthName(13));
  EXPECT_EQ("03/06/04 04:44:00", FormatDateTime(EncodeDateTime(2004, 3, 6, 4, 44)));
  EXPECT_EQ("03/06/04", FormatDateTime(EncodeDateTime(2004, 3, 6)));
}

TEST(FsTest, AttributeWord) {
  struct Case {
    uint32_t mode;
    const char* name;
    uint32_t attr;
  };
  const Case cases[] = {
      {S_IFREG | 0644, "a.txt", kAttrArchive},
      {S_IFREG | 0444, "a.txt", kAttrArchive | kAttrReadOnly},
      {S_IFREG | 0644, ".profile", kAttrArchive | kAttrHidden},
      {S_IFDIR | 0755, "dir", kAttrDirectory},
      {S_IFDIR | 0555, ".git", kAttrDirectory | kAttrReadOnly | kAttrHidden},
      {S_IFDIR | 0755, "..", kAttrDirectory},
      {S_IFIFO | 0644, "fifo", kAttrNormal},
  };
  for (const Case& c : cases) EXPECT_EQ(c.attr, AttributesFromMode(c.mode, c.name)) << c.name;
}

TEST(FsTest, SetAttributesAndDelete) {
  test::TempDir dir;
  const std::string f = dir / "x.txt";
  test::WriteFile(f, "x");
  EXPECT_TRUE(FileExists(f));
  EXPECT_FALSE(DirectoryExists(f));
  EXPECT_TRUE(DirectoryExists(dir.path()));
  EXPECT_FALSE(FileExists(dir.path()));
  EXPECT_EQ(0, SetAttributes(f, kAttrReadOnly));
  EXPECT_EQ(kAttrArchive | kAttrReadOnly, GetAttributes(f));
  EXPECT_EQ(0, SetAttributes(f, kAttrNormal));
  EXPECT_EQ(kAttrArchive, GetAttributes(f));
  EXPECT_EQ(0, DeleteFile(f));
  EXPECT_EQ(kInvalidAttributes, GetAttributes(f));
  EXPECT_EQ(ENOENT, DeleteFile(f));
  EXPECT_EQ(ENOENT, SetAttributes(f, kAttrNormal));
  EXPECT_EQ("No such file or directory", ErrorText(ENOENT));
}

TEST(FsTest, PathPieces) {
  EXPECT_EQ("c", LastComponent("/a/b/c/"));
  EXPECT_EQ("c", LastComponent("/a/b/c"));
  EXPECT_EQ("", LastComponent("/"));
  EXPECT_EQ("rel", LastComponent("rel"));
  EXPECT_EQ("/a/", IncludeTrailingSeparator("/a"));
  EXPECT_EQ("/a/", IncludeTrailingSeparator("/a/"));
  EXPECT_EQ("/", IncludeTrailingSeparator(""));
}

}  // namespace
}  // namespace twn::platform
