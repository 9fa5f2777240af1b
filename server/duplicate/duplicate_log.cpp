#include "server/duplicate/duplicate_log.h"


namespace qm {

bool DuplicateFilters::shows(DuplicateLineKind kind) const {
  switch (kind) {
    case DuplicateLineKind::Found: return found;
    case DuplicateLineKind::NotFound: return notFound;
    case DuplicateLineKind::NoResult: return noResult;
    case DuplicateLineKind::Unchecked: return unchecked;
    case DuplicateLineKind::CaptchaRejected: return true;
  }
  return false;
}

std::string duplicateLinePrefix(int recordNumber, std::string_view name) {
  std::string line = "【";
  line += std::to_string(recordNumber);
  line += "、";
  line += name;
  line += "】";
  return line;
}

std::string foundLine(int recordNumber, std::string_view name, std::string_view countText,
                      const std::vector<std::string>& schools) {
  std::string line = duplicateLinePrefix(recordNumber, name);
  line += "共找到";
  line += countText;
  line += "条学籍。学籍所在学校：";
  for (std::size_t i = 0; i < schools.size(); ++i) {
    if (i) line += ';';
    line += schools[i];
  }
  line += "。";
  return line;
}

std::string_view fixedLineText(DuplicateLineKind kind) {
  switch (kind) {
    case DuplicateLineKind::NotFound: return "查重无问题。";
    case DuplicateLineKind::NoResult: return "未得到反馈结果。";
    case DuplicateLineKind::Unchecked: return "姓名或身份证号为空，无法查重。";
    case DuplicateLineKind::CaptchaRejected: return "验证码错误。";
    case DuplicateLineKind::Found: break;
  }
  return {};
}

std::string duplicateLine(DuplicateLineKind kind, int recordNumber, std::string_view name) {
  return duplicateLinePrefix(recordNumber, name) + std::string(fixedLineText(kind));
}

DuplicateCounterTexts duplicateCounterTexts(int current, int total) {
  return {std::to_string(current), "/", std::to_string(total)};
}

}  // namespace qm
