#include "platform/read_file.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include "support/test_support.h"

namespace twn::platform {
namespace {

// A log path from a hand-edited settings file may name anything: only a regular file is read,
// nothing blocks, and no more than the cap is kept.
TEST(ReadRegularFileTest, ReadsOnlyRegularFilesUpToTheCap) {
  test::TempDir dir;
  test::Put(dir / "log", "0123456789", 1'000'000'000);
  test::MakeDirs(dir / "folder");
  ASSERT_EQ(0, ::mkfifo((dir / "fifo").c_str(), 0600));
  struct Case {
    std::string name;
    size_t cap;
    TError error;
    std::string bytes;
    bool cut;
  };
  const Case cases[] = {
      {"log", 100, 0, "0123456789", false}, {"log", 10, 0, "0123456789", false},
      {"log", 9, 0, "012345678", true},     {"log", 0, 0, "", true},
      {"folder", 100, EISDIR, "", false},   {"fifo", 100, EINVAL, "", false},
      {"missing", 100, ENOENT, "", false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name + " cap " + std::to_string(c.cap));
    TFileText text;
    EXPECT_EQ(c.error, ReadRegularFile(dir / c.name, c.cap, text));
    EXPECT_EQ(c.bytes, text.bytes);
    EXPECT_EQ(c.cut, text.cut);
    EXPECT_EQ(c.error == 0 ? DateTimeFromUnix(1'000'000'000) : 0.0, text.modified);
  }
}

}  // namespace
}  // namespace twn::platform
