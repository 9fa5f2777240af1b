#pragma once
// What the export dialog chose: grade and columns. One per main window, kept
// for the whole run so the dialog reopens with the last choice.
#include <array>
#include <string>

namespace qm {

inline constexpr int kExportColumnCount = 19;
inline constexpr const char* kGradeCancelled = "##";
inline constexpr const char* kAllGrades = "**";

struct ExportSelection {
  int gradeIndex = 0;
  std::string GradeCode = kGradeCancelled;
  // In export column order; the first ten are on until the user changes them.
  std::array<bool, kExportColumnCount> columns{true, true, true, true, true, true, true, true, true, true,
                                               false, false, false, false, false, false, false, false, false};

  bool cancelled() const { return GradeCode == kGradeCancelled; }
  bool anyColumn() const {
    for (bool on : columns)
      if (on) return true;
    return false;
  }
};

}  // namespace qm
