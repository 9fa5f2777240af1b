#include "server/duplicate/duplicate_run.h"

#include "common/trim.h"
#include "server/duplicate/duplicate_answer.h"
#include "server/duplicate/duplicate_request.h"
#include "server/duplicate/duplicate_texts.h"

namespace qm {

DuplicateRun::DuplicateRun(int recordCount, DuplicateFilters filters)
    : count_(recordCount < 0 ? 0 : recordCount), filters_(filters) {}

DuplicateStudentStart DuplicateRun::startStudent(std::string_view name, std::string_view idNumber) {
  // A new attempt clears a retry; a stop request stays until the run ends.
  if (state_ == DuplicateRunState::Retry) state_ = DuplicateRunState::Continue;
  name_ = trimLow(name);
  idNumber_ = trimLow(idNumber);
  DuplicateStudentStart start;
  if (name_.empty() || idNumber_.empty()) {
    if (filters_.shows(DuplicateLineKind::Unchecked))
      start.line = duplicateLine(DuplicateLineKind::Unchecked, recordNumber(), name_);
    return start;
  }
  start.query = true;
  return start;
}

std::string DuplicateRun::queryBody(std::string_view typedCode) const {
  return BuildDuplicateQueryBody(name_, idNumber_, trimLowView(typedCode));
}

DuplicateStudentResult DuplicateRun::result(DuplicateLineKind kind, std::optional<std::string> line) {
  DuplicateStudentResult r;
  r.kind = kind;
  r.line = std::move(line);
  r.retry = state_ == DuplicateRunState::Retry;
  return r;
}

DuplicateStudentResult DuplicateRun::answer(std::string_view text) {
  const DuplicateAnswer a = InterpretDuplicateAnswer(text);
  const int n = recordNumber();
  switch (a.kind) {
    case DuplicateAnswerKind::CaptchaRejected:
      // After "取消" or "停止" the rejection is not worth a line: nobody retries.
      if (state_ == DuplicateRunState::Stop) return result(DuplicateLineKind::CaptchaRejected, std::nullopt);
      state_ = DuplicateRunState::Retry;
      return result(DuplicateLineKind::CaptchaRejected,
                    duplicateLine(DuplicateLineKind::CaptchaRejected, n, name_));
    case DuplicateAnswerKind::Found:
      return result(DuplicateLineKind::Found, filters_.found
                                                  ? std::optional(foundLine(n, name_, a.countText, a.schools))
                                                  : std::nullopt);
    case DuplicateAnswerKind::NotFound:
      return result(DuplicateLineKind::NotFound,
                    filters_.notFound ? std::optional(duplicateLine(DuplicateLineKind::NotFound, n, name_))
                                      : std::nullopt);
    case DuplicateAnswerKind::NoCount: break;
  }
  return noAnswer();
}

DuplicateStudentResult DuplicateRun::noAnswer() {
  return result(DuplicateLineKind::NoResult,
                filters_.noResult ? std::optional(duplicateLine(DuplicateLineKind::NoResult, recordNumber(), name_))
                                  : std::nullopt);
}

void DuplicateRun::moveOn() {
  if (state_ == DuplicateRunState::Continue && position_ < count_) ++position_;
}

void DuplicateRun::sessionExpired() {
  expired_ = true;
  state_ = DuplicateRunState::Stop;
}

Notice DuplicateRun::finish() {
  const DuplicateRunState was = state_;
  state_ = DuplicateRunState::Continue;
  if (expired_) {
    expired_ = false;
    return {sessionExpiredMessage(position_), std::string(kNoteTitle)};
  }
  if (was == DuplicateRunState::Stop) return {std::string(kStoppedMessage), std::string(kNoteTitle)};
  return {std::string(kFinishedMessage), std::string(kFinishedTitle)};
}

}  // namespace qm
