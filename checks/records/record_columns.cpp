#include "checks/records/record_columns.h"

#include <initializer_list>

#include "common/trim.h"

namespace qm {
namespace {

std::optional<std::size_t> lastNamed(const std::vector<std::string>& names, std::initializer_list<std::string_view> wanted,
                                     std::optional<std::size_t> start) {
  for (std::size_t i = 0; i < names.size(); ++i) {
    const std::string_view n = trimLowView(names[i]);
    for (std::string_view w : wanted)
      if (n == w) start = i;
  }
  return start;
}

}  // namespace

RecordColumnChoice matchRecordColumns(const std::vector<std::string>& names) {
  RecordColumnChoice c;
  std::optional<std::size_t> first;
  if (!names.empty()) first = 0;
  c.id = lastNamed(names, {"身份证号", "身份证件号", "身份证"}, first);
  c.birth = lastNamed(names, {"出生日期", "出生年月"}, std::nullopt);
  c.gender = lastNamed(names, {"性别", "性别码"}, std::nullopt);
  return c;
}

TiedCheck tiedCheck(std::string_view idBoxText, std::string_view otherBoxText) {
  const bool on = !trimLowView(idBoxText).empty() && !trimLowView(otherBoxText).empty();
  return {on, on};
}

RecordChecks checksAfterOpening(std::string_view idColumn, std::string_view birthColumn,
                                std::string_view genderColumn) {
  RecordChecks checks;
  checks.id = true;
  checks.birth = tiedCheck(idColumn, birthColumn).checked;
  checks.gender = tiedCheck(idColumn, genderColumn).checked;
  return checks;
}

}  // namespace qm
