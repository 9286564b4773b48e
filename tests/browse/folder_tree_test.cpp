#include "browse/folder_tree.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <map>

#include "support/test_support.h"

namespace twn {
namespace {

// A made-up tree: folder path -> subfolders.
class FakeSource : public TFolderSource {
 public:
  std::map<std::string, std::vector<TFolderChild>> folders;
  std::vector<TFolderChild> Subfolders(const std::string& path) override { return folders[path]; }
};

class FolderTreeTest : public ::testing::Test {
 protected:
  FolderTreeTest() {
    source.folders["/w"] = {{"b", false}, {"A", false}, {"link", true}};
    source.folders["/w/A"] = {{"x", false}, {"y", false}};
    root = tree.AddRoot("w", "/w");
    tree.Expand(root);
  }
  TFolderTree::TId Child(TFolderTree::TId id, int row) { return tree.Children(id)[row]; }
  std::string States() {  // every loaded node in depth-first order
    std::string out;
    std::function<void(TFolderTree::TId)> walk = [&](TFolderTree::TId id) {
      out += std::to_string(tree.State(id));
      for (auto c : tree.Children(id)) walk(c);
    };
    walk(root);
    return out;
  }
  FakeSource source;
  TFolderTree tree{source};
  TFolderTree::TId root = 0;
};

TEST_F(FolderTreeTest, ChildrenSortedAndLinksNeverOpened) {
  ASSERT_EQ(tree.Children(root).size(), 3u);
  EXPECT_EQ(tree.Label(Child(root, 0)), "A");
  EXPECT_EQ(tree.Path(Child(root, 1)), "/w/b");
  const auto link = Child(root, 2);
  EXPECT_FALSE(tree.CanExpand(link));
  source.folders["/w/link"] = {{"loop", false}};
  tree.Expand(link);
  EXPECT_TRUE(tree.Children(link).empty());
  EXPECT_EQ(tree.Row(link), 2);
  source.folders["/w"].front().has_subfolders = false;  // "b"
  TFolderTree fresh(source);
  const auto top = fresh.AddRoot("w", "/w");
  fresh.Expand(top);
  EXPECT_FALSE(fresh.CanExpand(fresh.Children(top)[1]));
  EXPECT_TRUE(fresh.CanExpand(fresh.Children(top)[0]));
}

TEST_F(FolderTreeTest, ClicksPropagateAndParentsBecomeMixed) {
  const auto a = Child(root, 0);
  tree.Expand(a);  // root, A, x, y, b, link
  struct Step {
    std::function<void()> click;
    std::string states;
  };
  const std::vector<Step> steps = {
      {[&] { tree.Click(a, true); }, "822211"},             // A and loaded below
      {[&] { tree.Click(Child(a, 0), false); }, "881211"},  // x alone: A mixed
      {[&] { tree.Click(a, true); }, "822211"},             // mixed A: ticks all below
      {[&] { tree.Click(a, true); }, "111111"},
      {[&] { tree.Click(a, false); }, "821111"},  // A alone; its subfolders agree
      {[&] { tree.Click(root, true); }, "222222"},
  };
  for (const Step& s : steps) {
    s.click();
    EXPECT_EQ(States(), s.states);
  }
  EXPECT_EQ(tree.TickedPaths(),
            (std::vector<std::string>{"/w", "/w/A", "/w/A/x", "/w/A/y", "/w/b", "/w/link"}));
}

TEST_F(FolderTreeTest, FoldersFilledLaterInheritTheTick) {
  const auto a = Child(root, 0);
  tree.Click(a, false);
  tree.Expand(a);
  EXPECT_EQ(States(), "822211");
  tree.Click(Child(root, 1), true);
  source.folders["/w/b"] = {{"deep", false}};
  tree.Expand(Child(root, 1));
  EXPECT_TRUE(tree.Ticked(tree.Children(Child(root, 1))[0]));
}

TEST(FolderPatterns, NamesOfPathsAndSkippedOnes) {
  const TPickedPatterns picked =
      PatternsFromPaths({"/", "/home/ann/Backup", "/srv/Backup/", "/a/x;y", "/a/st*r", "/a/q?",
                         "/a/ lead", "/a/.git"});
  EXPECT_EQ(picked.Patterns, (std::vector<std::string>{"Backup", "Backup", ".git"}));
  EXPECT_EQ(picked.Skipped, (std::vector<std::string>{"x;y", "st*r", "q?", " lead"}));
  TFolderFilter filter;
  filter.AddPattern("Cache");
  AddPickedPatterns(filter, picked);
  EXPECT_EQ(filter.Patterns(), (std::vector<std::string>{".git", "Backup", "Cache"}));
  EXPECT_NE(SkippedNamesText(picked).find("\nst*r"), std::string::npos);
  EXPECT_EQ(SkippedNamesText(PatternsFromPaths({"/a"})), "");
}

TEST(FolderPatterns, MountPointsWithoutPseudoFileSystems) {
  const std::string mounts =
      "/dev/sda1 / ext4 rw 0 0\n"
      "proc /proc proc rw 0 0\n"
      "tmpfs /run tmpfs rw 0 0\n"
      "/dev/sdb1 /media/ann/USB\\040Stick vfat rw 0 0\n"
      "/dev/sda2 /home ext4 rw 0 0\n"
      "/dev/sda2 /home ext4 rw 0 0\n"
      "cgroup2 /sys/fs/cgroup cgroup2 rw 0 0\n";
  EXPECT_EQ(VolumeMountPoints(mounts), (std::vector<std::string>{"/media/ann/USB Stick", "/home"}));
}

TEST(FolderPatterns, PickerRootsAreFoldersOnce) {
  test::TempDir dir;
  test::MakeDirs(dir / "usb");
  test::Put(dir / "hosts");
  const std::string mounts = "/dev/sdb1 " + (dir / "usb") + " vfat rw 0 0\n/dev/sda1 " +
                             (dir / "hosts") + " ext4 rw 0 0\n/dev/sda2 " + dir.path() +
                             " ext4 rw 0 0\n";
  EXPECT_EQ(PickerRootFolders(dir.path(), mounts),
            (std::vector<std::string>{dir.path(), "/", dir / "usb"}));
}

TEST(FolderPatterns, DiskSourceListsFoldersAndLinks) {
  test::TempDir dir;
  test::MakeDirs(dir / "sub/.hidden");
  test::Put(dir / "sub/file");
  ASSERT_EQ(symlink((dir / "sub").c_str(), (dir / "sub/up").c_str()), 0);
  ASSERT_EQ(symlink((dir / "sub/file").c_str(), (dir / "sub/tofile").c_str()), 0);
  TDiskFolderSource source;
  auto found = source.Subfolders(dir / "sub");
  std::sort(found.begin(), found.end(),
            [](const TFolderChild& a, const TFolderChild& b) { return a.name < b.name; });
  ASSERT_EQ(found.size(), 2u);
  EXPECT_EQ(found[0].name, ".hidden");
  EXPECT_FALSE(found[0].link);
  EXPECT_FALSE(found[0].has_subfolders);
  EXPECT_EQ(found[1].name, "up");
  EXPECT_TRUE(found[1].link);
  EXPECT_TRUE(source.Subfolders(dir.path())[0].has_subfolders);
  EXPECT_TRUE(source.Subfolders(dir / "missing").empty());
}

}  // namespace
}  // namespace twn
