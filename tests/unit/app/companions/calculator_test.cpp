#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "app/companions/calculator.h"
#include "tests/support/temp_folder.h"

namespace fs = std::filesystem;
using namespace qm;

namespace {

void program(const fs::path& p, fs::perms perms = fs::perms::owner_all) {
  fs::create_directories(p.parent_path());
  std::ofstream(p) << "#!/bin/sh\n";
  fs::permissions(p, perms);
}

}  // namespace

TEST(Calculator, FirstFoundInOrderDesktopFirst) {
  test::TempFolder tmp("calculator");
  const fs::path a = tmp.path / "a", b = tmp.path / "b";
  const std::string path = a.string() + "::" + b.string() + ":/nonexistent";
  EXPECT_EQ(findCalculator(path, ""), "");

  program(b / "xcalc");
  EXPECT_EQ(findCalculator(path, ""), (b / "xcalc").string());
  // Not executable, or a folder: passed over.
  program(a / "galculator", fs::perms::owner_read);
  fs::create_directories(a / "mate-calc");
  EXPECT_EQ(findCalculator(path, ""), (b / "xcalc").string());

  program(b / "kcalc");
  program(a / "gnome-calculator");
  EXPECT_EQ(findCalculator(path, ""), (a / "gnome-calculator").string());
  EXPECT_EQ(findCalculator(path, "GNOME"), (a / "gnome-calculator").string());
  // The desktop's own calculator comes first.
  EXPECT_EQ(findCalculator(path, "KDE"), (b / "kcalc").string());
  EXPECT_EQ(findCalculator(path, "ubuntu:kde"), (b / "kcalc").string());
  // A desktop whose calculator is missing falls back to the order.
  EXPECT_EQ(findCalculator(path, "MATE"), (a / "gnome-calculator").string());
  // Within one name, the earlier search path entry wins.
  program(a / "kcalc");
  EXPECT_EQ(findCalculator(path, "KDE"), (a / "kcalc").string());
}
