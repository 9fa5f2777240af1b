// The run log panel under each window's own names: the controls a window
// lacks are not made, a log without a toggle is always shown, and the bar,
// the labels and the saved file follow the run.
#include <QLabel>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QWidget>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <unistd.h>

#include "common/ui/run_log_panel.h"
#include "common/ui/scripted_prompts.h"

namespace qm {
namespace {

QStringList childNames(const QWidget& window) {
  QStringList names;
  for (QWidget* w : window.findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
    if (!w->objectName().isEmpty()) names << w->objectName();
  return names;
}

TEST(RunLogPanel, MakesOnlyTheControlsTheWindowNames) {
  RunLogNames checker;  // TForm6 and TForm7
  RunLogNames duplicate;  // TForm12
  duplicate.toggle = nullptr;
  duplicate.separator = "Label13";
  RunLogNames photos;  // TForm9
  photos.toggle = photos.save = photos.current = photos.total = nullptr;
  struct Case {
    const char* window;
    RunLogNames names;
    QStringList made;
    bool alwaysShown;
  } cases[] = {
      {"checker", checker, {"Button3", "Button5", "Memo1", "ProgressBar1", "Label9", "Label10"}, false},
      {"duplicate", duplicate, {"Button5", "Memo1", "ProgressBar1", "Label9", "Label13", "Label10"}, true},
      {"photos", photos, {"Memo1", "ProgressBar1"}, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.window);
    ScriptedPrompts prompts;
    QWidget window;
    RunLogPanel panel(prompts, &window, c.names);
    EXPECT_EQ(childNames(window), c.made);
    EXPECT_EQ(panel.logShown(), c.alwaysShown);
    panel.toggleLog();
    EXPECT_TRUE(panel.logShown());  // shown by Button3, or always where there is none
    if (panel.separatorLabel()) {
      EXPECT_EQ(panel.separatorLabel()->text(), QStringLiteral("/"));
    }

    // A run of three records, the lines of two slices, on whatever the window has.
    panel.setLines({"hint"});
    panel.startRun(3);
    EXPECT_EQ(panel.memo()->toPlainText(), QString());
    std::vector<std::string> lines{"第1条", "第2条"};
    panel.showProgress(2, lines);
    panel.appendLine("第3条");
    panel.showRecord(3);
    EXPECT_EQ(panel.memo()->toPlainText(), QStringLiteral("第1条\n第2条\n第3条"));
    EXPECT_EQ(panel.lines(), (std::vector<std::string>{"第1条", "第2条", "第3条"}));
    EXPECT_EQ(panel.progressBar()->maximum(), 3);
    EXPECT_EQ(panel.progressBar()->value(), 3);
    if (panel.currentLabel()) {
      EXPECT_EQ(panel.currentLabel()->text(), QStringLiteral("3"));
    }
    if (panel.totalLabel()) {
      EXPECT_EQ(panel.totalLabel()->text(), QStringLiteral("3"));
    }
    panel.clearLog();
    EXPECT_TRUE(panel.lines().empty());
    EXPECT_EQ(panel.memo()->toPlainText(), QString());
  }
}

// An empty sheet: the bar runs over 0..1 rather than showing a busy bar.
TEST(RunLogPanel, NoRecordsKeepsTheBarStill) {
  ScriptedPrompts prompts;
  QWidget window;
  RunLogPanel panel(prompts, &window);
  panel.startRun(0);
  EXPECT_EQ(panel.progressBar()->minimum(), 0);
  EXPECT_EQ(panel.progressBar()->maximum(), 1);
  EXPECT_EQ(panel.totalLabel()->text(), QStringLiteral("0"));
}

// The saved log is GB18030 with CR LF, a ".txt" added to a bare name.
TEST(RunLogPanel, SavesTheLogAsTheWindowShowsIt) {
  const std::filesystem::path dir =
      std::filesystem::temp_directory_path() / ("qm_run_log_panel_" + std::to_string(::getpid()));
  std::filesystem::create_directories(dir);
  ScriptedPrompts prompts;
  QWidget window;
  RunLogNames names;
  names.toggle = nullptr;
  RunLogPanel panel(prompts, &window, names);
  panel.appendLine("甲");
  panel.appendLine("b");
  prompts.fileNames = {QString::fromStdString((dir / "log").string())};
  panel.saveLog();
  std::ifstream in(dir / "log.txt", std::ios::binary);
  const std::string saved((std::istreambuf_iterator<char>(in)), {});
  EXPECT_EQ(saved, "\xbc\xd7\r\nb\r\n");
  EXPECT_TRUE(prompts.messages().isEmpty());
  std::filesystem::remove_all(dir);
}

}  // namespace
}  // namespace qm
