#pragma once
// Helpers for the check windows' tests: opening a workbook through a panel
// with a scripted file choice, waiting for a run, and the command line's
// lines for the same file.
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QSignalSpy>
#include <QCoro/QCoroTask>
#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "common/ui/scripted_prompts.h"
#include <QComboBox>

#include "workbook/ui/workbook_panel.h"

namespace qm::test {

// Opens path through the panel's Open button procedure and waits until the
// read (and the first sheet's) has come back.
inline void openThrough(WorkbookPanel& panel, ScriptedPrompts& prompts, const std::string& path) {
  prompts.fileNames.push_back(QString::fromStdString(path));
  QCoro::waitFor(panel.openClick());
}

// Processes events until the object emits `signal` (a run's end) or 60 s pass.
template <typename Object, typename Signal>
bool waitForSignal(Object* object, Signal signal) {
  QSignalSpy spy(object, signal);
  QElapsedTimer clock;
  clock.start();
  while (spy.isEmpty() && clock.elapsed() < 60000) QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
  return !spy.isEmpty();
}

// Selects another sheet in the panel's box and waits until it is read (the
// read may already be back when the selection returns).
inline bool changeSheet(WorkbookPanel& panel, int index) {
  QSignalSpy settled(&panel, &WorkbookPanel::settled);
  panel.sheetBox()->setCurrentIndex(index);
  return !settled.isEmpty() || settled.wait(30000);
}

inline std::vector<std::string> splitLines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

}  // namespace qm::test
