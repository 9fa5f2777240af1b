#pragma once
// Strings in BIFF records. BIFF8 keeps characters as UTF-16LE or, with the
// high bytes left out, as Latin-1; when the characters of one string go on
// in a CONTINUE record, that record starts with a new flags byte. BIFF5 keeps
// bytes of the workbook's code page (CODEPAGE record, 936 when there is none).
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "workbook/xls/biff_stream.h"

namespace qm::xls {

class TextDecoder {
 public:
  TextDecoder() = default;
  ~TextDecoder();
  TextDecoder(const TextDecoder&) = delete;
  TextDecoder& operator=(const TextDecoder&) = delete;

  void setBiff8(bool biff8) { biff8_ = biff8; }
  bool biff8() const { return biff8_; }
  void setCodePage(int codePage);

  // BIFF8: `count` characters with `flags` (bit 0: two bytes each), going on
  // across pieces. Appends at most 32,767 UTF-16 units, reads them all.
  void appendCharacters(RecordCursor& in, std::size_t count, std::uint8_t flags, std::string& out) const;
  // A string with a 16-bit (LABEL, STRING, FORMAT) or 8-bit (BOUNDSHEET)
  // length: BIFF8 with flags, rich-text runs and phonetic block skipped;
  // BIFF5 in the code page.
  void appendString16(RecordCursor& in, std::string& out);
  void appendString8(RecordCursor& in, std::string& out);
  // Bytes of the code page as UTF-8.
  void appendCodePage(std::string_view bytes, std::string& out);

 private:
  void appendBiff8(RecordCursor& in, std::size_t count, std::string& out) const;
  void appendBytes(RecordCursor& in, std::size_t count, std::string& out);

  bool biff8_ = true;
  int codePage_ = 936;
  void* iconv_ = nullptr;  // for code pages other than 936 and 1252
};

// A UTF-16 unit sequence (with surrogate pairs; a lone one becomes U+FFFD) as UTF-8.
void appendUtf16(std::string& out, const unsigned char* le, std::size_t units, std::size_t& unitsWritten);

}  // namespace qm::xls
