#pragma once
// The column names of a sheet as every tool sees them: a header cell's text,
// "F<n>" for a column without one, and a repeated name made unique so that
// the column a box shows is the column a run reads.
#include <string>
#include <string_view>
#include <vector>

namespace qm {

// Lookup key of a name: simple case folding, as a case-insensitive
// comparison of the names does.
std::string foldedKey(std::string_view name);

// `headers` are row 1's texts, in sheet order. A name that an earlier column
// already has (compared as lookups compare, without regard to case) gets the
// smallest number from 1 up that makes it unique: "姓名", "姓名", "姓名"
// become "姓名", "姓名1", "姓名2".
std::vector<std::string> uniqueColumnNames(const std::vector<std::string_view>& headers);

}  // namespace qm
