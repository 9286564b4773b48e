// Folder listing: what is listed, with which attributes, sizes and times, and what is skipped.
#include "platform/listing.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <map>
#include <string>

#include "support/test_support.h"

namespace twn::platform {
namespace {

std::map<std::string, TListEntry> ListAll(TDirLister& lister, const std::string& path) {
  std::map<std::string, TListEntry> entries;
  EXPECT_TRUE(lister.Open(path.c_str())) << path;
  TListEntry e;
  while (lister.Next(e)) {
    EXPECT_EQ(0u, entries.count(std::string(e.name))) << e.name;
    entries[std::string(e.name)] = e;
  }
  for (auto& [name, entry] : entries) entry.name = {};  // the buffer is reused
  return entries;
}

TEST(Listing, RecordsFilesAndFoldersWithTheirDetails) {
  test::TempDir dir;
  test::WriteFile(dir / "plain.txt", "hello");
  test::SetMTime(dir / "plain.txt", 1'600'000'000, 123'456'789);
  test::WriteFile(dir / ".hidden", "");
  test::WriteFile(dir / "ro.txt", "r");
  ASSERT_EQ(0, ::chmod((dir / "ro.txt").c_str(), 0444));
  test::WriteFile(dir / "name\nwith?odd\xff", "odd");
  test::MakeDirs(dir / "sub");
  test::SetMTime(dir / "sub", 1'500'000'000);
  // A sparse file above 4 GiB checks the 64-bit size.
  const int fd = ::open((dir / "big").c_str(), O_WRONLY | O_CREAT, 0644);
  ASSERT_GE(fd, 0);
  ASSERT_EQ(0, ::ftruncate(fd, (int64_t{5} << 30) + 7));
  ::close(fd);

  TDirLister lister;
  const auto entries = ListAll(lister, dir.path());
  const struct {
    const char* name;
    uint32_t attributes;
    uint64_t size;
  } expected[] = {
      {".", kAttrDirectory, 0},
      {"..", kAttrDirectory, 0},
      {"plain.txt", kAttrArchive, 5},
      {".hidden", kAttrArchive | kAttrHidden, 0},
      {"ro.txt", kAttrArchive | kAttrReadOnly, 1},
      {"name\nwith?odd\xff", kAttrArchive, 3},
      {"sub", kAttrDirectory, 0},
      {"big", kAttrArchive, (uint64_t{5} << 30) + 7},
  };
  EXPECT_EQ(std::size(expected), entries.size());
  for (const auto& e : expected) {
    ASSERT_EQ(1u, entries.count(e.name)) << e.name;
    const TListEntry& got = entries.at(e.name);
    EXPECT_EQ(e.attributes, got.attributes) << e.name;
    EXPECT_EQ(e.size, got.size) << e.name;
  }
  EXPECT_EQ(FileTimeFromUnix(1'600'000'000, 123'456'700), entries.at("plain.txt").last_write);
  EXPECT_EQ(FileTimeFromUnix(1'500'000'000, 0), entries.at("sub").last_write);

  // Without folder details a folder costs no status query: no time, and never read-only.
  TDirLister quick(false);
  const auto fast = ListAll(quick, dir.path());
  EXPECT_EQ(0, fast.at("sub").last_write);
  EXPECT_EQ(kAttrDirectory, fast.at("sub").attributes);
  EXPECT_EQ(entries.at("plain.txt").last_write, fast.at("plain.txt").last_write);
}

TEST(Listing, LinksAndSpecialFilesAreSkipped) {
  test::TempDir dir;
  test::WriteFile(dir / "real.txt", "x");
  test::MakeDirs(dir / "folder");
  ASSERT_EQ(0, ::symlink("real.txt", (dir / "file_link").c_str()));
  ASSERT_EQ(0, ::symlink(".", (dir / "loop").c_str()));
  ASSERT_EQ(0, ::symlink("/does/not/exist", (dir / "dangling").c_str()));
  ASSERT_EQ(0, ::mkfifo((dir / "fifo").c_str(), 0600));
  const int sock = ::socket(AF_UNIX, SOCK_STREAM, 0);
  sockaddr_un addr{};
  addr.sun_family = AF_UNIX;
  const std::string sock_path = dir / "sock";
  ASSERT_LT(sock_path.size(), sizeof addr.sun_path);
  std::copy(sock_path.begin(), sock_path.end(), addr.sun_path);
  ASSERT_EQ(0, ::bind(sock, reinterpret_cast<sockaddr*>(&addr), sizeof addr));
  ::close(sock);

  TDirLister lister;
  const auto entries = ListAll(lister, dir.path());
  std::string names;
  for (const auto& [name, entry] : entries) names += name + " ";
  EXPECT_EQ(". .. folder real.txt ", names);
}

TEST(Listing, FolderThatCannotBeListedYieldsNothing) {
  test::TempDir dir;
  test::WriteFile(dir / "file", "x");
  const std::string cases[] = {dir / "missing", dir / "file", dir / "file/below",
                               std::string(5000, 'x')};
  const int errors[] = {ENOENT, ENOTDIR, ENOTDIR, ENAMETOOLONG};
  TDirLister lister;
  for (size_t i = 0; i < std::size(cases); ++i) {
    EXPECT_FALSE(lister.Open(cases[i].c_str())) << i;
    EXPECT_EQ(errors[i], lister.Error()) << i;
    TListEntry e;
    EXPECT_FALSE(lister.Next(e)) << i;
  }
  // The same lister works again afterwards, and a link to a folder may be the folder opened.
  ASSERT_EQ(0, ::symlink(dir.path().c_str(), (dir / "to_dir").c_str()));
  EXPECT_TRUE(lister.Open((dir / "to_dir").c_str()));
  EXPECT_EQ(0, lister.Error());
}

TEST(Listing, LargeFolderIsListedCompletelyThroughTheReusedBuffer) {
  test::TempDir dir;
  // Long names so the listing needs several reads of the buffer.
  const std::string stem(200, 'f');
  for (int i = 0; i < 600; ++i) {
    const int fd = ::open((dir / (stem + std::to_string(i))).c_str(), O_WRONLY | O_CREAT, 0644);
    ASSERT_GE(fd, 0);
    ::close(fd);
  }
  TDirLister lister;
  EXPECT_EQ(602u, ListAll(lister, dir.path()).size());
}

}  // namespace
}  // namespace twn::platform
