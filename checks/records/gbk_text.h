#pragma once
// A UTF-8 text as the GBK bytes that byte-position rules count. Texts that are
// pure ASCII (ID numbers and dates, nearly always) are their own GBK and are
// not converted.
#include <string>
#include <string_view>

#include "common/text_encoding.h"

namespace qm {

class GbkText {
 public:
  explicit GbkText(std::string_view utf8) {
    for (unsigned char c : utf8)
      if (c >= 0x80) {
        owned_ = utf8ToGbk(utf8);
        bytes_ = owned_;
        return;
      }
    bytes_ = utf8;
  }
  GbkText(const GbkText&) = delete;
  GbkText& operator=(const GbkText&) = delete;

  std::string_view bytes() const { return bytes_; }

 private:
  std::string owned_;
  std::string_view bytes_;
};

}  // namespace qm
