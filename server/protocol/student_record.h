#pragma once
// One in-school student as the query service writes it: 31 values read with
// ReadKeyedRecord in the server's key order, and the 19 columns an export can write.
#include <array>
#include <string>
#include <string_view>
#include <vector>

namespace qm {

// Index of each value in a record, in the order of kStudentMarkers.
enum StudentField : int {
  kXxbsm, kXm, kXsJbxxId, kJdfsm, kState, kXxBjxxId, kSfcjm, kRownum, kJdztm, kXxNjxxId,
  kBh, kXxmc, kNjmc, kSffb, kJtzz, kGrbsm, kBjmc, kMzm, kXbm, kJg,
  kTxdz, kLxdh, kXjfh, kJavaClass, kCsrq, kXqh, kSfzjh, kXxJbxxId, kSfzjlxm, kHkszdm,
  kRecordEnd,
};

// The first marker has no comma; the last, "}", closes the record.
inline constexpr std::array<std::string_view, 31> kStudentMarkers = {
    R"("xxbsm":)",     R"(,"xm":)",    R"(,"xsJbxxId":)", R"(,"jdfsm":)",     R"(,"state":)",
    R"(,"xxBjxxId":)", R"(,"sfcjm":)", R"(,"rownum":)",   R"(,"jdztm":)",     R"(,"xxNjxxId":)",
    R"(,"bh":)",       R"(,"xxmc":)",  R"(,"njmc":)",     R"(,"sffb":)",      R"(,"jtzz":)",
    R"(,"grbsm":)",    R"(,"bjmc":)",  R"(,"mzm":)",      R"(,"xbm":)",       R"(,"jg":)",
    R"(,"txdz":)",     R"(,"lxdh":)",  R"(,"xjfh":)",     R"(,"javaClass":)", R"(,"csrq":)",
    R"(,"xqh":)",      R"(,"sfzjh":)", R"(,"xxJbxxId":)", R"(,"sfzjlxm":)",   R"(,"hkszdm":)",
    "}",
};

struct ExportColumnDef {
  const char* title;  // row 1 of the sheet
  const char* width;  // column width in character units, as text
  int field;          // StudentField
};
// Always in this order; an export writes the selected ones without gaps.
extern const std::array<ExportColumnDef, 19> kExportColumns;

// Cell text of export column `column` (0-based) for a raw record: escapes
// decoded to UTF-8, codes turned into texts, the rest as cut. A record with
// fewer values reads the missing ones as empty.
std::string studentCellText(const std::vector<std::string>& values, int column);
std::array<std::string, 19> studentCells(const std::vector<std::string>& values);

// One student's 31 values as views into the answer: surrounding quotes
// stripped and "null" read as empty, exactly as ReadKeyedRecord gives them.
using StudentFields = std::array<std::string_view, 31>;
// The same walk as ReadKeyedRecord(remaining, kStudentMarkers) (same result,
// same `remaining` afterwards on success and on failure), without copies.
// On failure `out` holds whatever was read before the walk stopped.
bool readStudentFields(std::string_view& remaining, StudentFields& out);
// Appends the cell text of export column `column` (0-based) to out: the same
// bytes studentCellText gives for the same record.
void appendStudentCellText(const StudentFields& fields, int column, std::string& out);

}  // namespace qm
