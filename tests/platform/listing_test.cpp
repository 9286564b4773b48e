// Folder listing: what is listed, with which attributes, sizes and times, and what is skipped.
#include "platform/listing.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <climits>
#include <map>
#include <string>

#include "support/fault_support.h"
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

TEST(Listing, LinksAndSpecialFilesComeAsOtherEntriesNeverFollowed) {
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

  for (bool details : {true, false}) {
    TDirLister lister(details);
    std::string names;
    for (const auto& [name, entry] : ListAll(lister, dir.path()))
      names += name + (entry.other ? "* " : " ");
    EXPECT_EQ(". .. dangling* fifo* file_link* folder loop* real.txt sock* ", names);
  }
}

TEST(Listing, StatusThatCannotBeReadFailsTheListing) {
  // A folder that may be read but not searched lists names whose status cannot be had: the
  // folder cannot be seen whole, which is not the same as holding nothing.
  test::TempDir dir;
  test::MakeDirs(dir / "half");
  test::WriteFile(dir / "half/a.txt", "a");
  ASSERT_EQ(0, ::chmod(dir.path().c_str(), 0755));
  ASSERT_EQ(0, ::chmod((dir / "half").c_str(), 0444));
  const std::string answer = test::RunAsNobody([&]() -> std::string {
    TDirLister lister;
    if (!lister.Open(dir / "half")) return "open failed";
    TListEntry e;
    std::string listed;
    while (lister.Next(e)) listed += std::string(e.name) + " ";
    return listed + "error " + std::to_string(lister.Error());
  });
  EXPECT_NE(std::string::npos, answer.find("error " + std::to_string(EACCES))) << answer;
  EXPECT_EQ(std::string::npos, answer.find("a.txt")) << answer;
}

TEST(Listing, DeepFoldersOpenBeyondThePathLimitAndALinkAtTheEndOnlyWhenAllowed) {
  test::TempDir dir;
  const std::string name(200, 'd');
  // mkdir cannot take such paths either: the chain is built with mkdirat.
  int fd = ::open(dir.path().c_str(), O_RDONLY | O_DIRECTORY);
  for (size_t depth = 0; depth < 5000 / 201 + 1; ++depth) {
    ASSERT_EQ(0, ::mkdirat(fd, name.c_str(), 0755));
    const int child = ::openat(fd, name.c_str(), O_RDONLY | O_DIRECTORY);
    ::close(fd);
    fd = child;
  }
  ::close(::openat(fd, "deep.txt", O_WRONLY | O_CREAT, 0644));
  ::close(fd);
  TDirLister lister;
  std::string path = dir.path();
  for (size_t depth = 0; depth < 5000 / 201 + 1; ++depth) path += "/" + name;
  ASSERT_GT(path.size(), size_t{PATH_MAX});
  EXPECT_EQ(1u, ListAll(lister, path).count("deep.txt"));
  test::RemoveTreeAt(AT_FDCWD, dir / name);

  ASSERT_EQ(0, ::symlink(dir.path().c_str(), (dir / "link").c_str()));
  EXPECT_TRUE(lister.Open(dir / "link", true));
  EXPECT_FALSE(lister.Open(dir / "link", false));
  EXPECT_EQ(ENOTDIR, lister.Error());  // what O_NOFOLLOW with O_DIRECTORY answers for a link
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
