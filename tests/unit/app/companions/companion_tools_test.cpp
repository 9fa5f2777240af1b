#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "app/companions/companion_tools.h"
#include "tests/support/temp_folder.h"

namespace fs = std::filesystem;
using namespace qm;

TEST(CompanionTools, Table) {
  struct Row {
    const char* button;
    const char* caption;
    const char* windowsFile;
    const char* linuxFile;
    const char* download;
    const char* display;
  };
  const Row rows[] = {
      {"FlatButton24", "合并", "pellow.exe", "pellow", "pellow", "Pellowin"},
      {"FlatButton25", "录入", "drumsap.exe", "drumsap", "drumsel", "Drumselle"},
      {"FlatButton27", "体测", "quorrit.exe", "quorrit", "quorrit", "Quorritan"},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.button);
    const CompanionTool* t = companionToolForButton(r.button);
    ASSERT_NE(t, nullptr);
    EXPECT_STREQ(t->caption, r.caption);
    EXPECT_EQ(companionProgramFile(t->checkedStem, TargetOs::Windows), r.windowsFile);
    EXPECT_EQ(companionProgramFile(t->checkedStem, TargetOs::Linux), r.linuxFile);
    EXPECT_STREQ(t->downloadStem, r.download);
    EXPECT_EQ(companionDisplayName(r.download), r.display);
  }
  EXPECT_EQ(companionToolForButton("FlatButton26"), nullptr);
  EXPECT_EQ(companionDisplayName("drumsap"), std::nullopt);  // the checked name is no download stem
  EXPECT_EQ(companionDisplayName(""), std::nullopt);
  EXPECT_EQ(companionDownloadUrl("http://up.test/", "drumsel"), "http://up.test/drumsel.jpg");
}

TEST(CompanionTools, ButtonStartsOnlyTheFileItLooksFor) {
  test::TempFolder tmp("companions");
  const std::string folder = tmp.path.string() + "/";
  const CompanionTool& pellow = *companionToolForButton("FlatButton24");
  const CompanionTool& drums = *companionToolForButton("FlatButton25");

  EXPECT_EQ(installedCompanion(pellow, folder, TargetOs::Linux), std::nullopt);
  std::ofstream(tmp.path / "pellow") << "x";
  EXPECT_EQ(installedCompanion(pellow, folder, TargetOs::Linux), folder + "pellow");
  EXPECT_EQ(installedCompanion(pellow, folder, TargetOs::Windows), std::nullopt);
  std::ofstream(tmp.path / "pellow.exe") << "x";
  EXPECT_EQ(installedCompanion(pellow, folder, TargetOs::Windows), folder + "pellow.exe");

  // "录入" downloads "drumsel" but looks for "drumsap": the dialog keeps coming.
  std::ofstream(tmp.path / "drumsel") << "x";
  EXPECT_EQ(installedCompanion(drums, folder, TargetOs::Linux), std::nullopt);
  std::ofstream(tmp.path / "drumsap") << "x";
  EXPECT_EQ(installedCompanion(drums, folder, TargetOs::Linux), folder + "drumsap");

  // A folder of the name is no program.
  fs::create_directory(tmp.path / "quorrit");
  EXPECT_EQ(installedCompanion(*companionToolForButton("FlatButton27"), folder, TargetOs::Linux), std::nullopt);
}
