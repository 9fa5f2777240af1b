#pragma once
// The steps of one duplicate-check run, without the requests: the coroutine
// that drives it reads each record, shows the captcha dialog, sends the body
// and hands the answer back; this class says which log line each step writes,
// whether the same record is asked again, and when the run ends.
//
//   DuplicateRun run(count, filters);
//   while (run.goesOn()) {   // (a login page as answer: run.sessionExpired(), the loop ends)
//     auto start = run.startStudent(name of record run.recordNumber(), its ID);
//     write start.line; show run.recordNumber() on the counter
//     if (start.query) {
//       code = captcha dialog (取消 calls run.requestStop(), the code still goes)
//       result = run.answer(POST run.queryBody(code)) or run.noAnswer() on failure
//       write result.line
//     }
//     run.moveOn();
//     let the interface process pending input
//   }
//   message box run.finish()
#include <optional>
#include <string>
#include <string_view>

#include "server/duplicate/duplicate_log.h"
#include "common/notice.h"

namespace qm {

enum class DuplicateRunState { Continue = 0, Stop = 1, Retry = 2 };

struct DuplicateStudentStart {
  bool query = false;               // show a captcha dialog and send the query
  std::optional<std::string> line;  // for the log, when the filters let it through
};

struct DuplicateStudentResult {
  DuplicateLineKind kind = DuplicateLineKind::NoResult;
  std::optional<std::string> line;  // for the log, when one is written
  bool retry = false;               // the same record again, with a new captcha
};

class DuplicateRun {
 public:
  DuplicateRun(int recordCount, DuplicateFilters filters);

  DuplicateRunState state() const { return state_; }
  // "停止" or the captcha dialog's "取消": the run ends after the record in
  // hand, whose answer is still interpreted. Never undone before finish().
  void requestStop() { state_ = DuplicateRunState::Stop; }
  // An answer that is the login page (a redirect, or a page with the
  // _j_username input): the session has ended, so the run stops at once and
  // finish() says so. The record in hand counts as not checked.
  void sessionExpired();
  bool expired() const { return expired_; }
  // A record left and no stop requested.
  bool goesOn() const { return position_ < count_ && state_ != DuplicateRunState::Stop; }

  // 1-based number of the record to read next, and of the record in hand
  // after startStudent: the counter and the progress bar show it.
  int recordNumber() const { return position_ + 1; }
  int recordCount() const { return count_; }
  const DuplicateFilters& filters() const { return filters_; }

  // Takes the record's cells, trimmed. An empty name or ID number is not
  // sent: its line (when "无法查重" is on) and query == false.
  DuplicateStudentStart startStudent(std::string_view name, std::string_view idNumber);
  const std::string& name() const { return name_; }
  const std::string& idNumber() const { return idNumber_; }
  // The body for the record in hand with the typed code, trimmed.
  std::string queryBody(std::string_view typedCode) const;

  // The answer to the record's query, or a failed query.
  DuplicateStudentResult answer(std::string_view text);
  DuplicateStudentResult noAnswer();

  // After each record: a retry stays on it, anything else goes to the next
  // record unless a stop was requested.
  void moveOn();

  // The end-of-run message; the state is continue afterwards. After an
  // ended session: "登录已失效，请重新登录学籍网后再查重。" CR "已查 N 人。",
  // N the records before the one in hand.
  Notice finish();

 private:
  DuplicateStudentResult result(DuplicateLineKind kind, std::optional<std::string> line);

  int count_;
  int position_ = 0;
  DuplicateFilters filters_;
  DuplicateRunState state_ = DuplicateRunState::Continue;
  bool expired_ = false;
  std::string name_, idNumber_;
};

}  // namespace qm
