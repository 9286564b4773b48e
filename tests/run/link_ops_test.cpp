// Copying a link as a link, whatever stands at either end when the copy comes.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "run/link_ops.h"
#include "support/fault_support.h"
#include "support/test_support.h"

namespace twn {
namespace {

// The source is read again when its copy comes: a new text is copied as it is now, a file or a
// folder in its place is not copied at all; a folder at the target stays. Whatever fails leaves
// the old target and no temporary link behind.
TEST(CopyOneLink, CopiesTheLinkAsItIsNowOrNothing) {
  enum TSource { kLink, kFile, kFolder };
  const struct {
    const char* what;
    TSource source;
    bool target_folder;
    platform::TError error;
    const char* target_after;  // the text of the link at the target afterwards
  } cases[] = {
      {"a link over a link", kLink, false, 0, "now"},
      {"a file took the link's place", kFile, false, EINVAL, "old"},
      {"a folder took the link's place", kFolder, false, EISDIR, "old"},
      {"a folder at the target", kLink, true, EISDIR, ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    test::TempDir dir;
    const std::string from = dir / "L/e", to = dir / "R/e";
    test::MakeDirs(dir / "L");
    test::MakeDirs(dir / "R");
    if (c.source == kFile) test::Put(from);
    if (c.source == kFolder) test::MakeDirs(from);
    if (c.source == kLink) {
      ASSERT_EQ(symlink("now", from.c_str()), 0);
    }
    if (c.target_folder) {
      test::MakeDirs(to);
    } else {
      ASSERT_EQ(symlink("old", to.c_str()), 0);
    }
    const timespec times[2] = {{1'000'000'000, 0}, {1'000'000'000, 0}};
    utimensat(AT_FDCWD, from.c_str(), times, AT_SYMLINK_NOFOLLOW);
    TSideFolders sides[2];
    const TLinkOutcome r = CopyOneLink({{from, dir.path().size() + 3}, sides[0]},
                                       {{to, dir.path().size() + 3}, sides[1]});
    EXPECT_EQ(r.error, c.error);
    EXPECT_EQ(r.not_a_link, c.source != kLink);
    EXPECT_EQ(test::ReadLink(to), c.target_after);
    EXPECT_EQ(test::ListNames(dir / "R"), std::vector<std::string>{"e"});
    struct stat st {};
    ASSERT_EQ(lstat(to.c_str(), &st), 0);
    if (c.error == 0) {
      EXPECT_EQ(st.st_mtim.tv_sec, 1'000'000'000);
    }
  }
}

}  // namespace
}  // namespace twn
