#include <gtest/gtest.h>

#include <functional>
#include <stdexcept>
#include <vector>
#include <sys/stat.h>

#include "common/ui/scripted_prompts.h"
#include "sheet/spreadsheet_export.h"
#include "sheet/spreadsheet_file_choice.h"
#include "tests/support/sheet_readers.h"
#include "tests/support/temp_folder.h"

using namespace qm;
using namespace qm::test;
namespace fs = std::filesystem;

namespace {

QString q(const std::string& s) { return QString::fromStdString(s); }

void fill(SpreadsheetExport& x) {
  x.startWorkbook();
  x.setColumnWidth(1, 1, "9.75");
  x.writeCell(1, 1, "姓名");
  x.setTextFormat(2, 1);
  x.writeCell(2, 1, "䶮𠀀");
}

}  // namespace

TEST(SpreadsheetExport, FileNameDecidesExtensionVersionAndFormat) {
  TempFolder dir("export");
  struct Case {
    std::string typed, saved;
    double version;
    std::string magic;
  } cases[] = {
      {"名单", "名单.xls", 11, "\xD0\xCF\x11\xE0"},
      {"a.xls", "a.xls", 11, "\xD0\xCF\x11\xE0"},
      {"b.xlsx", "b.xlsx", 16, "PK"},
      {"c.XLSX", "c.XLSX", 16, "PK"},
      {"d.xlsx.bak", "d.xlsx.bak", 11, "\xD0\xCF\x11\xE0"},
  };
  for (const Case& c : cases) {
    ScriptedPrompts prompts;
    prompts.fileNames.push_back(q(dir.file(c.typed)));
    const std::optional<std::string> chosen = SpreadsheetFileChoice(prompts).choose();
    ASSERT_TRUE(chosen);
    ASSERT_EQ(prompts.log.size(), 1u);
    EXPECT_EQ(prompts.log[0].text, QStringLiteral("EXCEL文件(.xls,.xlsx)|*.xls"));
    EXPECT_EQ(*chosen, dir.file(c.saved));
    SpreadsheetExport x(*chosen);
    EXPECT_EQ(x.version(), c.version) << c.typed;
    fill(x);
    x.save();
    x.quit();
    EXPECT_EQ(x.sheet(), nullptr);
    EXPECT_EQ(readFile(dir.file(c.saved)).substr(0, c.magic.size()), c.magic) << c.typed;
  }
  const ReadBack xls = readWithXlrd(dir.file("名单.xls"));
  EXPECT_EQ(xls.text.at({2, 1}), "䶮𠀀");
  EXPECT_EQ(xls.format.at({2, 1}), "@");
  EXPECT_EQ(xls.widths.at(1), "2669");
  const ReadBack xlsx = readXlsxWithPython(dir.file("b.xlsx"));
  EXPECT_EQ(xlsx.text.at({1, 1}), "姓名");
  EXPECT_EQ(xlsx.format.at({2, 1}), "@");
}

TEST(SpreadsheetFileChoice, CancelledDialogChoosesNothing) {
  ScriptedPrompts prompts;  // no file name queued: the dialog is cancelled
  EXPECT_FALSE(SpreadsheetFileChoice(prompts).choose());
}

TEST(SpreadsheetFileChoice, ExistingFileAnsweredNoEndsSilentlyAndKeepsIt) {
  TempFolder dir("no");
  const std::string path = dir.file("old.xls");
  std::ofstream(path) << "old";
  ScriptedPrompts prompts;
  prompts.fileNames.push_back(q(path));
  prompts.answers.push_back(false);
  EXPECT_FALSE(SpreadsheetFileChoice(prompts).choose());
  ASSERT_EQ(prompts.log.size(), 2u);
  EXPECT_EQ(prompts.log[1].kind, RecordedPrompt::Question);
  EXPECT_EQ(prompts.log[1].text, QStringLiteral("数据库文件已存在，是否覆盖？"));
  EXPECT_TRUE(prompts.messages().isEmpty());
  EXPECT_EQ(readFile(path), "old");
}

TEST(SpreadsheetFileChoice, ExistingFileAnsweredYesIsReplacedOnlyBySave) {
  TempFolder dir("yes");
  const std::string path = dir.file("old.xls");
  std::ofstream(path) << "old";
  ScriptedPrompts prompts;
  prompts.fileNames.push_back(q(path));
  prompts.answers.push_back(true);
  const std::optional<std::string> chosen = SpreadsheetFileChoice(prompts).choose();
  ASSERT_EQ(chosen, path);
  SpreadsheetExport x(*chosen);
  EXPECT_EQ(readFile(path), "old") << "the old file must survive until the new one is complete";
  EXPECT_EQ(dir.entries(), 1u);
  fill(x);
  x.save();
  EXPECT_EQ(readWithXlrd(path).text.at({1, 1}), "姓名");
  EXPECT_TRUE(prompts.messages().isEmpty());
}

TEST(SpreadsheetFileChoice, ExistingFileThatCannotBeReplacedShowsTheErrorAndKeepsIt) {
  TempFolder dir("ro");
  struct Case {
    std::string name;
    std::function<std::string()> setUp;  // gives the path the user picks
  };
  std::vector<Case> cases = {
      {"read-only file",
       [&] {
         const std::string p = dir.file("readonly.xls");
         std::ofstream(p) << "old";
         fs::permissions(p, fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
         return p;
       }},
      {"a folder by that name",
       [&] {
         fs::create_directories(dir.file("folder.xls"));
         std::ofstream(dir.file("folder.xls/inside")) << "old";
         return dir.file("folder.xls");
       }},
      // No temporary file can be made beside a name this long, even by root.
      {"name too long for a temporary file beside it",
       [&] {
         const std::string p = dir.file(std::string(246, 'n') + ".xls");
         std::ofstream(p) << "old";
         return p;
       }},
  };
  if (::geteuid() != 0) {
    cases.push_back({"folder without write permission", [&] {
                       fs::create_directories(dir.file("locked"));
                       const std::string p = dir.file("locked/old.xls");
                       std::ofstream(p) << "old";
                       fs::permissions(dir.file("locked"), fs::perms::owner_read | fs::perms::owner_exec);
                       return p;
                     }});
  }
  for (const Case& c : cases) {
    const std::string path = c.setUp();
    const std::string before = fs::is_regular_file(path) ? readFile(path) : "";
    ScriptedPrompts prompts;
    prompts.fileNames.push_back(q(path));
    prompts.answers.push_back(true);
    EXPECT_FALSE(SpreadsheetFileChoice(prompts).choose()) << c.name;
    ASSERT_EQ(prompts.log.size(), 3u) << c.name;
    EXPECT_EQ(prompts.log[2].kind, RecordedPrompt::Message);
    EXPECT_EQ(prompts.log[2].text, QStringLiteral("数据库文件创建失败，请检查磁盘权限后再试！"));
    EXPECT_EQ(prompts.log[2].icon, PromptIcon::Error);
    EXPECT_EQ(prompts.log[2].title, kAppTitle);
    if (fs::is_regular_file(path)) {
      EXPECT_EQ(readFile(path), before) << c.name;
    }
  }
  EXPECT_EQ(readFile(dir.file("folder.xls/inside")), "old");
}

TEST(SpreadsheetExport, SaveIntoAVanishedFolderThrowsAndKeepsTheOldFile) {
  TempFolder dir("vanish");
  fs::create_directories(dir.file("out"));
  const std::string path = dir.file("out/old.xls");
  std::ofstream(path) << "old";
  SpreadsheetExport x(path);
  fill(x);
  // Between the question and the save, the folder is moved away and a file takes its name.
  fs::rename(dir.file("out"), dir.file("moved"));
  std::ofstream(dir.file("out")) << "in the way";
  EXPECT_THROW(x.save(), std::runtime_error);
  EXPECT_EQ(readFile(dir.file("moved/old.xls")), "old");
  EXPECT_EQ(std::distance(fs::directory_iterator(dir.file("moved")), {}), 1);
  EXPECT_EQ(readFile(dir.file("out")), "in the way");
}

TEST(SpreadsheetExport, CellStepsNeedAStartedWorkbook) {
  SpreadsheetExport x;
  EXPECT_THROW(x.writeCell(1, 1, "x"), std::runtime_error);
  EXPECT_THROW(x.save(), std::runtime_error);
  x.startWorkbook();
  EXPECT_THROW(x.setColumnWidth(0, 1, "9"), std::runtime_error);
  EXPECT_THROW(x.setColumnWidth(1, 1, "宽"), std::runtime_error);
  EXPECT_THROW(x.save(), std::runtime_error);  // no file chosen
}
