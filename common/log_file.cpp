#include "common/log_file.h"

#include "common/atomic_file.h"
#include "common/text_encoding.h"

namespace qm {

std::string logFileBytes(const std::vector<std::string>& lines) {
  std::string text;
  std::size_t size = 0;
  for (const auto& l : lines) size += l.size() + 2;
  text.reserve(size);
  for (const auto& line : lines) {
    for (std::size_t i = 0; i < line.size(); ++i) {
      const char c = line[i];
      if (c == '\r' || c == '\n') {
        if (c == '\r' && i + 1 < line.size() && line[i + 1] == '\n') ++i;
        text += "\r\n";
      } else {
        text += c;
      }
    }
    text += "\r\n";
  }
  return utf8ToGb18030(text);
}

bool saveLogLines(const std::string& path, const std::vector<std::string>& lines, std::string* error) {
  return saveFileAtomically(path, logFileBytes(lines), error);
}

}  // namespace qm
