#include "checks/compare/compare_run.h"

#include <charconv>

#include "checks/compare/compare_texts.h"
#include "common/trim.h"
#include "workbook/workbook_source.h"

namespace qm {
namespace {

void appendNumber(std::string& s, int n) {
  char digits[16];
  const auto end = std::to_chars(digits, digits + sizeof digits, n).ptr;
  s.append(digits, end);
}

}  // namespace

CompareRun::CompareRun(WorkbookSource& base, WorkbookSource& probe, CompareSetup setup, std::atomic<bool>& stop,
                       CheckListener listener)
    : SheetRun(probe, stop, std::move(listener)), base_(base), probe_(probe), setup_(std::move(setup)) {
  for (std::size_t i = 0; i < 3; ++i) {
    inUse_[i] = setup_.pairs[i].inUse();
    names_[i] = trimLow(setup_.pairs[i].probe);
  }
}

RecordVisitor::Visit CompareRun::visit(int record, std::vector<std::string>& lines, StopRequest& stop) {
  // Columns are looked up in the order the walk first reads them, so a
  // missing one fails where the walk would first need it.
  if (!probeKeyField_) probeKeyField_ = probe_.FieldByName(setup_.key.probe);
  key_.assign(trimLowView(probe_.text(*probeKeyField_)));
  if (!indexed_ && base_.RecordCount() > 0) {
    index_.build(base_, base_.FieldByName(setup_.key.base));
    indexed_ = true;
  }
  detail_.clear();
  int n = 0;
  bool prefixWritten = false;
  if (indexed_)
    for (auto m = index_.find(key_); !m.empty(); m.pop()) appendFindings(++n, m.front(), prefixWritten);

  if (stop.take()) return Visit::Stopped;
  if (n == 0) findingsFound_ = true;
  using namespace compare_texts;
  const CompareLogging& log = setup_.logging;
  const bool written = n == 0 ? log.notFound : log.found || !detail_.empty();
  if (!written) return Visit::Next;
  std::string line;
  line.reserve(key_.size() + detail_.size() + 48);
  appendNumber(line, record);
  line += kLineSeparator;
  line += key_;
  if (n == 0) {
    line += kNotFound;
  } else if (log.found) {
    line += kFoundPrefix;
    appendNumber(line, n);
    line += kFoundSuffix;
    line += detail_;
  } else {
    line += ':';
    line += detail_;
  }
  lines.push_back(std::move(line));
  return Visit::Next;
}

void CompareRun::appendFindings(int n, int baseRecord, bool& prefixWritten) {
  using namespace compare_texts;
  const CompareLogging& log = setup_.logging;
  for (std::size_t i = 0; i < 3; ++i) {
    if (!inUse_[i]) continue;
    PairColumns& c = columns_[i];
    if (!c.resolved) {
      c.probe = probe_.FieldByName(setup_.pairs[i].probe);
      c.base = base_.FieldByName(setup_.pairs[i].base);
      c.resolved = true;
    }
    a_.assign(trimLowView(probe_.text(c.probe)));
    const std::string_view b = trimLowView(base_.text(baseRecord, c.base));
    const bool equal = a_ == b;
    if (!equal) findingsFound_ = true;
    if (equal ? !log.same : !log.different) continue;
    // Pair 1 always numbers its findings; pairs 2 and 3 only until a finding
    // has been numbered for this record, which pair 3 never records.
    if (i == 0 || !prefixWritten) {
      detail_ += '(';
      appendNumber(detail_, n);
      detail_ += ')';
    }
    if (i < 2) prefixWritten = true;
    detail_ += names_[i];
    if (equal) {
      detail_ += kSame;
    } else {
      detail_ += kDifferent;
      detail_ += a_;
      detail_ += ',';
      detail_ += b;
      detail_ += kFullStop;
    }
  }
}

void CompareRun::rewind() {
  base_.First();
  probe_.First();
}

std::string CompareRun::finishedText() const { return compare_texts::kEnd; }

}  // namespace qm
