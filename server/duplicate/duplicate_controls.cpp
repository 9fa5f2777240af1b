#include "server/duplicate/duplicate_controls.h"

namespace qm {

std::string_view duplicateControlName(DuplicateControl control) {
  switch (control) {
    case DuplicateControl::Open: return "BitBtn2";
    case DuplicateControl::Close: return "BitBtn4";
    case DuplicateControl::SheetList: return "ComboBox2";
    case DuplicateControl::Start: return "Button1";
    case DuplicateControl::Stop: return "Button2";
    case DuplicateControl::Exit: return "Button4";
    case DuplicateControl::Filters: return "GroupBox4";
  }
  return {};
}

DuplicateControlStates duplicateControlStates(DuplicateSituation situation) {
  constexpr std::optional<bool> on = true, off = false, keep = std::nullopt;
  switch (situation) {
    //                                         打开  关闭  sheets 开始  停止  退出  filters
    case DuplicateSituation::FirstShown:      return {on,  off, off,  off, off, on,  on};
    case DuplicateSituation::SheetReady:      return {off, on,  on,   on,  off, on,  on};
    case DuplicateSituation::SheetLacksField: return {off, on,  on,   off, off, on,  on};
    case DuplicateSituation::SheetOpenFailed: return {off, on,  keep, off, off, on,  on};
    case DuplicateSituation::RunInProgress:   return {off, off, off,  off, on,  off, off};
    case DuplicateSituation::RunEnded:        return {off, on,  on,   on,  off, on,  on};
    case DuplicateSituation::WorkbookClosed:  return {on,  off, off,  off, off, on,  on};
  }
  return {};
}

}  // namespace qm
