#pragma once
// The BIFF record stream of a workbook: records one after another, each with
// the CONTINUE records that follow it, and a cursor that reads a record's
// bytes across those pieces. Every read is checked against the piece it is
// in; reading past the record's end is damage.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace qm::xls {

namespace rec {
constexpr std::uint16_t kFormula = 0x0006, kEof = 0x000A, kDateMode = 0x0022, kFilePass = 0x002F,
                        kContinue = 0x003C, kCodePage = 0x0042, kBoundSheet = 0x0085, kMulRk = 0x00BD,
                        kMulBlank = 0x00BE, kRString = 0x00D6, kXf = 0x00E0, kSst = 0x00FC, kLabelSst = 0x00FD,
                        kBlank = 0x0201, kNumber = 0x0203, kLabel = 0x0204, kBoolErr = 0x0205, kString = 0x0207,
                        kArray = 0x0221, kTable = 0x0236, kRk = 0x027E, kFormat = 0x041E, kShrFmla = 0x04BC,
                        kBof = 0x0809, kFormulaBiff3 = 0x0206, kFormulaBiff4 = 0x0406;
}

struct Record {
  std::uint16_t type = 0;
  std::size_t offset = 0;  // of its header in the stream
  // The record's body, then the bodies of the CONTINUE records after it.
  std::vector<std::string_view> pieces;
  std::string_view body() const { return pieces.front(); }
};

class BiffStream {
 public:
  // `stream` must outlive the object; `path` names the file in failure texts.
  BiffStream(std::string_view stream, const std::string& path);
  // Starts again at `offset` (a sheet's BOF). Throws WorkbookError past the stream.
  void seek(std::size_t offset);
  // The next record; false at the end of the stream. Throws WorkbookError
  // on a record that runs past the stream.
  bool next(Record& record);
  [[noreturn]] void fail(const std::string& detail) const;
  const std::string& path() const { return path_; }
  std::size_t size() const { return stream_.size(); }

 private:
  std::string_view stream_;
  const std::string& path_;
  std::size_t at_ = 0;
};

// Reads a record's bytes in order; crossing into the next piece is
// transparent, except where a string's characters go on (see xls_strings.h).
class RecordCursor {
 public:
  RecordCursor(const Record& record, const BiffStream& stream) : record_(record), stream_(stream) {}

  std::uint8_t u8();
  std::uint16_t u16();
  std::uint32_t u32();
  double f64();
  void skip(std::size_t n);
  // Bytes left in the current piece (moving on to the next piece first when
  // this one is used up and `advance` is set).
  std::size_t available(bool advance = true);
  // Takes up to n bytes of the current piece.
  std::string_view take(std::size_t n);
  // Moves to the start of the next piece; false when there is none.
  bool nextPiece();
  bool atPieceEnd() const { return at_ >= record_.pieces[piece_].size(); }
  bool atEnd() const { return piece_ + 1 >= record_.pieces.size() && atPieceEnd(); }
  [[noreturn]] void fail() const;

 private:
  void bytes(void* out, std::size_t n);

  const Record& record_;
  const BiffStream& stream_;
  std::size_t piece_ = 0;
  std::size_t at_ = 0;
};

}  // namespace qm::xls
