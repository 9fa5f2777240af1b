#pragma once
// What a comparison is given: the key columns, up to three compared column
// pairs and the four logging options; and how a probe box follows its base box.
#include <array>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace qm {

// Column names as the boxes show them: base workbook ("基准库") and the
// workbook to check ("待查库", the probe).
struct ComparePair {
  std::string base;
  std::string probe;
  // Both boxes show a column name.
  bool inUse() const;
};

struct CompareLogging {
  bool same = true;        // "记录比对相同情况"
  bool different = true;   // "记录比对不相同情况"
  bool found = true;       // "记录找到的情况"
  bool notFound = true;    // "记录未找到的情况"
};

struct CompareSetup {
  ComparePair key;                  // ComboBox3 / ComboBox4
  std::array<ComparePair, 3> pairs;  // ComboBox5/6, ComboBox7/8, ComboBox9/10
  CompareLogging logging;
};

// The entry a probe box selects when its base box shows baseText: the last
// probe column whose trimmed name equals the trimmed base text. nullopt
// leaves the probe box's selection as it was.
std::optional<std::size_t> matchProbeColumn(std::string_view baseText, const std::vector<std::string>& probeNames);

}  // namespace qm
