#pragma once
// Views that record what the dialog would show, in order: the update check's
// (questions answered from a queue) and, through RecordingTransferView, the
// companion download's.
#include <deque>
#include <string>
#include <vector>

#include "app/update/update_check.h"

namespace qm::test {

// One line per call: "enabled 0", "status <text>", "status! <text>" (repainted
// at once), "show <title>|<icon>|<text>", "ask ...", "reveal", "script ...",
// "close", "start <path>". Progress bar calls go to bar.
struct Recorder {
  std::vector<std::string> events;
  std::vector<std::pair<long long, long long>> bar;
  std::vector<Notice> notices;

  static const char* iconName(NoticeIcon i) {
    switch (i) {
      case NoticeIcon::None: return "none";
      case NoticeIcon::Information: return "info";
      case NoticeIcon::Warning: return "warning";
      case NoticeIcon::Error: return "error";
      case NoticeIcon::Question: return "question";
    }
    return "?";
  }
  std::vector<std::string> statuses() const {
    std::vector<std::string> out;
    for (const auto& e : events)
      if (e.rfind("status", 0) == 0) out.push_back(e);
    return out;
  }
  bool has(const std::string& event) const {
    for (const auto& e : events)
      if (e == event) return true;
    return false;
  }
};

template <typename Base>
class RecordingTransferView : public Base, public Recorder {
 public:
  void setControlsEnabled(bool enabled) override { events.push_back(enabled ? "enabled 1" : "enabled 0"); }
  void setStatus(const std::string& text, bool repaintNow) override {
    events.push_back((repaintNow ? "status! " : "status ") + text);
  }
  void setProgress(std::int64_t value, std::int64_t maximum) override { bar.emplace_back(value, maximum); }
  void showNotice(const Notice& n) override {
    notices.push_back(n);
    events.push_back("show " + n.title + "|" + iconName(n.icon) + "|" + n.text);
  }
};

class RecordingUpdateView : public RecordingTransferView<UpdateView> {
 public:
  std::deque<bool> answers;  // empty queue: a question is a test failure, answered No
  bool scriptStarts = true;
  std::vector<Notice> questions;
  std::vector<ScriptCommand> scripts;

  bool ask(const Notice& q) override {
    questions.push_back(q);
    events.push_back("ask");
    if (answers.empty()) {
      events.push_back("unexpected question");
      return false;
    }
    bool a = answers.front();
    answers.pop_front();
    return a;
  }
  void reveal() override { events.push_back("reveal"); }
  bool startScript(const ScriptCommand& c) override {
    scripts.push_back(c);
    events.push_back("script");
    return scriptStarts;
  }
  void requestMainWindowClose() override { events.push_back("close"); }
};

}  // namespace qm::test
