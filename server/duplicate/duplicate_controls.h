#pragma once
// Which controls of the duplicate-check window are enabled in each situation.
// A control left out of a situation keeps its state ("as before").
#include <array>
#include <optional>
#include <string_view>

namespace qm {

enum class DuplicateSituation {
  FirstShown,       // the window's first showing
  SheetReady,       // workbook open, the sheet has both fields
  SheetLacksField,  // workbook open, the sheet lacks a field
  SheetOpenFailed,  // opening the sheet failed
  RunInProgress,
  RunEnded,         // any way, a failed set-up included
  WorkbookClosed,   // the sheet list is also emptied
};

// In the order of the window's table: 打开, 关闭, sheet list, 开始查重, 停止, 退出, filters.
enum class DuplicateControl { Open, Close, SheetList, Start, Stop, Exit, Filters };
inline constexpr std::size_t kDuplicateControlCount = 7;

// The component that carries each control.
std::string_view duplicateControlName(DuplicateControl control);

// On, off, or (no value) as before, for each control in DuplicateControl order.
using DuplicateControlStates = std::array<std::optional<bool>, kDuplicateControlCount>;
DuplicateControlStates duplicateControlStates(DuplicateSituation situation);

// Whether the situation also empties the sheet list.
inline bool emptiesSheetList(DuplicateSituation situation) {
  return situation == DuplicateSituation::WorkbookClosed;
}

}  // namespace qm
