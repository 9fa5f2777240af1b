#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sys/stat.h>

#include "common/atomic_file.h"
#include "tests/support/temp_folder.h"

namespace fs = std::filesystem;
using namespace qm;

namespace {
using qm::test::readFile;
using qm::test::TempFolder;
}  // namespace

TEST(AtomicFile, ReplacesOnlyOnCommit) {
  TempFolder dir("atomic");
  const fs::path target = dir.path / "out.xls";
  std::ofstream(target) << "old";
  {
    AtomicFile f(target.string());
    ASSERT_TRUE(f.ok());
    ASSERT_TRUE(f.write("new contents"));
    EXPECT_EQ(readFile(target), "old");  // not yet
  }  // dropped without commit
  EXPECT_EQ(readFile(target), "old");
  EXPECT_EQ(std::distance(fs::directory_iterator(dir.path), fs::directory_iterator()), 1) << "temp file left";
  ASSERT_TRUE(saveFileAtomically(target.string(), "new"));
  EXPECT_EQ(readFile(target), "new");
}

TEST(AtomicFile, UnwritableFolderFailsAndSaysWhere) {
  TempFolder dir("atomic");
  // Root writes through permission bits, so use a "folder" that is a file there.
  fs::path folder = dir.path / "ro";
  if (::geteuid() == 0) {
    std::ofstream(folder) << "x";
  } else {
    fs::create_directory(folder);
    fs::permissions(folder, fs::perms::owner_read | fs::perms::owner_exec);
  }
  std::string err;
  const std::string target = (folder / "x.ini").string();
  EXPECT_FALSE(saveFileAtomically(target, "a", &err));
  EXPECT_NE(err.find("Unable to write to " + target), std::string::npos) << err;
  if (::geteuid() != 0) fs::permissions(folder, fs::perms::owner_all);
}

// Saves write through a link at the target name; a name that must stay in
// its folder replaces the link instead, also a dangling one, and takes
// neither the mode nor the place of the file it pointed to.
TEST(AtomicFile, LinkAtTheTargetWrittenThroughOrReplaced) {
  TempFolder dir("atomic");
  const fs::path outside = dir.path / "outside.txt", link = dir.path / "link.txt";
  for (LinkAtTarget rule : {LinkAtTarget::WriteThrough, LinkAtTarget::Replace}) {
    std::ofstream(outside) << "old";
    fs::permissions(outside, fs::perms::owner_read | fs::perms::owner_write);
    fs::remove(link);
    fs::create_symlink(outside, link);
    AtomicFile f(link.string(), rule);
    ASSERT_TRUE(f.ok());
    ASSERT_TRUE(f.write("new") && f.commit());
    if (rule == LinkAtTarget::WriteThrough) {
      EXPECT_TRUE(fs::is_symlink(link));
      EXPECT_EQ(readFile(outside), "new");
    } else {
      EXPECT_FALSE(fs::is_symlink(link));
      EXPECT_EQ(readFile(link), "new");
      EXPECT_EQ(readFile(outside), "old");
      EXPECT_NE(fs::status(link).permissions(), fs::perms::owner_read | fs::perms::owner_write);
    }
  }
  const fs::path dangling = dir.path / "dangling.txt";
  fs::create_symlink(dir.path / "nowhere.txt", dangling);
  AtomicFile f(dangling.string(), LinkAtTarget::Replace);
  ASSERT_TRUE(f.write("x") && f.commit());
  EXPECT_FALSE(fs::exists(dir.path / "nowhere.txt"));
  EXPECT_EQ(readFile(dangling), "x");
}
