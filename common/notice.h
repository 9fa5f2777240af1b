#pragma once
// A message box as data: what the logic hands a window to show.
#include <string>

namespace qm {

enum class NoticeIcon { None, Information, Warning, Error, Question };

struct Notice {
  std::string text;
  std::string title = "Quillmere";  // the application title unless named
  NoticeIcon icon = NoticeIcon::None;
  bool operator==(const Notice&) const = default;
};

}  // namespace qm
