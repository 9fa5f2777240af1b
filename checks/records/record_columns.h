#pragma once
// Which columns the record checker picks after a sheet is opened, and which
// checks that turns on.
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "checks/records/record_rules.h"

namespace qm {

// Indexes into the sheet's column names; nullopt leaves a box empty.
struct RecordColumnChoice {
  std::optional<std::size_t> id;      // ComboBox3: the first column unless an ID name is found
  std::optional<std::size_t> birth;   // ComboBox4
  std::optional<std::size_t> gender;  // ComboBox9
};

// Matches trimmed names: "身份证号", "身份证件号", "身份证" for the ID;
// "出生日期", "出生年月" for the birth date; "性别", "性别码" for the gender.
// The last matching column wins.
RecordColumnChoice matchRecordColumns(const std::vector<std::string>& names);

// A check box tied to the ID box and one other box (CheckBox1 to ComboBox4,
// CheckBox4 to ComboBox9): enabled and checked when both boxes' trimmed texts
// are non-empty, disabled and unchecked otherwise. Re-run when the other box
// changes, not when the ID box does.
struct TiedCheck {
  bool enabled = false;
  bool checked = false;
};
TiedCheck tiedCheck(std::string_view idBoxText, std::string_view otherBoxText);

// The checks a freshly opened sheet gets: the ID check on, the other two as
// their tied boxes say.
RecordChecks checksAfterOpening(std::string_view idColumn, std::string_view birthColumn,
                                std::string_view genderColumn);

}  // namespace qm
