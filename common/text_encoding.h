#pragma once
// Conversions between the UTF-8 held by the logic and the Chinese ANSI code
// pages the server, the settings file and byte-counting rules use.
#include <cstddef>
#include <string>
#include <string_view>

namespace qm {

// UTF-8 to GBK (CP936). A character GBK lacks becomes "?", as the ANSI code page does.
std::string utf8ToGbk(std::string_view utf8);
// GBK to UTF-8. A byte sequence that is not GBK becomes U+FFFD.
std::string gbkToUtf8(std::string_view gbk);
// UTF-8 to GB18030 and back: the file encoding, identical to GBK for every GBK
// character and able to hold the rest.
std::string utf8ToGb18030(std::string_view utf8);
std::string gb18030ToUtf8(std::string_view gb18030);
// Number of bytes the text takes in GBK (a character GBK lacks counts one, as "?").
std::size_t gbkByteLength(std::string_view utf8);
// UTF-16 code units to UTF-8; an unpaired surrogate becomes U+FFFD.
std::string utf16ToUtf8(std::u16string_view utf16);

}  // namespace qm
