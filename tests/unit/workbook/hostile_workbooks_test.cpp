// .xls files made by hand for what real files do only at scale or when
// broken: one shared string behind half a million cells, texts past Excel's
// cell limit, STRING results split by CONTINUE, encryption, bad lengths.
#include <gtest/gtest.h>

#include <unistd.h>

#include <cstring>
#include <filesystem>

#include "biff_builder.h"
#include "fixtures.h"
#include "tests/support/temp_folder.h"
#include "workbook/workbook_source.h"

namespace qm {
namespace {

using test::BiffBuilder;
using B = BiffBuilder;

class HostileXls : public ::testing::Test {
 protected:
  const qm::test::TempFolder tmp_{"hostile_xls"};
  const std::string path_ = tmp_.file("hostile.xls");

  WorkbookSource open(const std::string& globals, const std::string& cells) {
    B::writeXls(path_, B::workbook(globals, cells));
    WorkbookSource source;
    source.open(path_);
    source.openSheet("S$");
    return source;
  }
  std::string failure(const std::string& globals, const std::string& cells) {
    try {
      open(globals, cells);
    } catch (const WorkbookError& e) {
      return e.what();
    }
    return "read";
  }
};

// An SST of one string given as pieces: each piece's characters, and whether
// that piece keeps them as two bytes each. Pieces after the first start with
// their own flags byte, as the format has it.
std::string sstOfOneString(std::size_t count, const std::vector<std::pair<std::u16string, bool>>& pieces) {
  std::string body = B::u32(1) + B::u32(1) + B::u16(static_cast<std::uint16_t>(count));
  std::vector<std::size_t> cuts;
  for (std::size_t i = 0; i < pieces.size(); ++i) {
    if (i > 0) cuts.push_back(body.size());
    body.push_back(pieces[i].second ? '\x01' : '\x00');
    for (const char16_t u : pieces[i].first) {
      body.push_back(static_cast<char>(u & 0xFF));
      if (pieces[i].second) body.push_back(static_cast<char>(u >> 8));
    }
  }
  return B::split(0x00FC, body, cuts);
}

std::string labelSst(std::uint16_t row, std::uint16_t col, std::uint32_t index) {
  return B::record(0x00FD, B::u16(row) + B::u16(col) + B::u16(15) + B::u32(index));
}

TEST_F(HostileXls, HalfAMillionCellsShareOneStringHeldOnce) {
  // 32,767 characters: 8,213 Latin-1, then pieces of two-byte characters.
  const std::u16string first(8213, u'x');
  const std::u16string rest(32767 - 8213, u'y');
  std::vector<std::pair<std::u16string, bool>> pieces{{first, false}};
  for (std::size_t at = 0; at < rest.size(); at += 4111) pieces.push_back({rest.substr(at, 4111), true});
  std::string cells;
  cells.reserve(524288 * 18);
  for (std::uint32_t r = 0; r < 65536; ++r)
    for (std::uint16_t c = 0; c < 8; ++c) cells += labelSst(static_cast<std::uint16_t>(r), c, 0);
  WorkbookSource source = open(sstOfOneString(32767, pieces), cells);
  ASSERT_EQ(source.RecordCount(), 65535);
  const std::string_view one = source.text(1, 0);
  ASSERT_EQ(one.size(), 32767u);
  EXPECT_EQ(one.substr(8210, 6), "xxxyyy");
  for (int r = 1; r <= 65535; r += 997)
    for (int c = 0; c < 8; ++c) ASSERT_EQ(source.text(r, c).data(), one.data()) << r << "," << c;
  EXPECT_EQ(source.text(65535, 7).data(), one.data());
}

TEST_F(HostileXls, SharedStringPastTheCellLimitIsCut) {
  const std::u16string han(40000, u'汉');
  std::vector<std::pair<std::u16string, bool>> pieces;
  pieces.push_back({han.substr(0, 4106), true});
  for (std::size_t at = 4106; at < han.size(); at += 4111) pieces.push_back({han.substr(at, 4111), true});
  WorkbookSource source = open(sstOfOneString(40000, pieces), labelSst(0, 0, 0) + labelSst(1, 0, 0));
  std::string expected;
  for (int i = 0; i < 32767; ++i) expected += "汉";
  EXPECT_EQ(source.text(1, 0), expected);
}

TEST_F(HostileXls, FormulaTextInASplitStringRecordAfterShrfmla) {
  const std::string header = labelSst(0, 0, 0);
  const std::string sst = sstOfOneString(2, {{u"公式", true}});
  // FORMULA (text result), SHRFMLA, then STRING of 10,000 characters whose
  // second piece switches to two-byte characters.
  const std::string result = std::string(6, '\0') + "\xFF\xFF";
  std::string cells = header + B::record(0x0006, B::u16(1) + B::u16(0) + B::u16(15) + result + B::u16(0) + B::u32(0) +
                                                   B::u16(0));
  cells += B::record(0x04BC, std::string(10, '\0'));
  std::string body = B::u16(10000) + std::string(1, '\0') + std::string(8221, 'a');
  const std::size_t cut = body.size();
  body += '\x01';
  for (int i = 0; i < 10000 - 8221; ++i) body += std::string("\x4E\x2D", 2).substr(1) + "\x4E";  // U+4E2D 中
  cells += B::split(0x0207, body, {cut});
  // Result types: boolean, error, and empty text (type 3, no STRING after it).
  auto special = [](std::uint16_t row, char type, char value) {
    std::string r(8, '\0');
    r[0] = type;
    r[2] = value;
    r[6] = r[7] = '\xFF';
    return B::record(0x0006, B::u16(row) + B::u16(0) + B::u16(15) + r + B::u16(0) + B::u32(0) + B::u16(0));
  };
  cells += special(2, 1, 1) + special(3, 2, 0x07) + special(4, 3, 0) + special(5, 2, 0x2A);
  WorkbookSource source = open(sst, cells);
  std::string expected(8221, 'a');
  for (int i = 0; i < 10000 - 8221; ++i) expected += "中";
  EXPECT_EQ(source.text(1, 0), expected);
  EXPECT_EQ(source.text(2, 0), "TRUE");
  EXPECT_EQ(source.text(3, 0), "#DIV/0!");
  EXPECT_EQ(source.text(4, 0), "");
  EXPECT_EQ(source.text(5, 0), "#N/A");
}

TEST_F(HostileXls, CellRecordsAsText) {
  const std::string sst = sstOfOneString(1, {{u"列", false}});
  auto rk = [](std::uint16_t row, std::uint32_t value) {
    return B::record(0x027E, B::u16(row) + B::u16(0) + B::u16(15) + B::u32(value));
  };
  auto boolErr = [](std::uint16_t row, char value, char isError) {
    return B::record(0x0205, B::u16(row) + B::u16(0) + B::u16(15) + std::string{value, isError});
  };
  std::string cells = labelSst(0, 0, 0);
  cells += rk(1, (123u << 2) | 2);               // integer
  cells += rk(2, (12345u << 2) | 3);             // integer / 100
  cells += B::record(0x0203, B::u16(3) + B::u16(0) + B::u16(15) + B::f64(110101200001011234.0));
  cells += B::record(0x00BD, B::u16(4) + B::u16(0) + B::u16(15) + B::u32((7u << 2) | 2) + B::u16(15) +
                                 B::u32((8u << 2) | 2) + B::u16(1));  // MULRK over two columns
  const char codes[] = {0x00, 0x07, 0x0F, 0x17, 0x1D, 0x24, 0x2A};
  for (std::uint16_t i = 0; i < 7; ++i) cells += boolErr(static_cast<std::uint16_t>(5 + i), codes[i], 1);
  cells += boolErr(12, 1, 0) + boolErr(13, 0, 0);
  cells += labelSst(14, 0, 99);  // no such shared string
  cells += B::record(0x0204, B::u16(15) + B::u16(0) + B::u16(15) + B::u16(3) + std::string(1, '\0') + "a\tb");
  WorkbookSource source = open(sst, cells);
  const std::vector<std::string> expected{"123", "123.45", "1.10101200001011E+17", "7", "#NULL!", "#DIV/0!",
                                          "#VALUE!", "#REF!", "#NAME?", "#NUM!", "#N/A", "TRUE", "FALSE", "", "a\tb"};
  for (std::size_t i = 0; i < expected.size(); ++i) EXPECT_EQ(source.text(static_cast<int>(i) + 1, 0), expected[i]) << i;
  EXPECT_EQ(source.text(4, 1), "8");
}

TEST_F(HostileXls, EncryptedWorkbookNamesItsPassword) {
  EXPECT_EQ(failure(B::record(0x002F, std::string(54, '\0')), ""), "Excel文件设有密码，无法读取：" + path_);
}

TEST_F(HostileXls, BrokenRecordsInASheetFailAtSheetChoice) {
  const struct {
    std::string cells;
    const char* detail;
  } cases[] = {
      {B::record(0x0203, B::u16(1) + B::u16(0)), "（记录 0x0203 的长度不对）"},
      {B::record(0x00BD, B::u16(1) + B::u16(0) + B::u16(15) + B::u16(1)), "（记录 0x00BD 的长度不对）"},
      {std::string("\x03\x02\xFF\xFF", 4) + "xx", "（记录超出工作簿流）"},
      {B::record(0x0204, B::u16(1) + B::u16(0) + B::u16(15) + B::u16(50) + std::string(1, '\0') + "short"),
       "（记录 0x0204 的长度不对）"},
  };
  for (const auto& c : cases) {
    B::writeXls(path_, B::workbook("", c.cells + std::string(4096, 'z')));
    WorkbookSource source;
    source.open(path_);  // the globals are whole
    try {
      source.openSheet("S$");
      ADD_FAILURE() << c.detail;
    } catch (const WorkbookError& e) {
      EXPECT_EQ(std::string(e.what()), "Excel文件已损坏或不完整：" + path_ + c.detail);
    }
  }
}

TEST(HostileXlsx, OneSharedStringBehindAQuarterMillionCellsIsHeldOnce) {
  // 0.7 MB on disk; a copy per cell would be 8 GB.
  WorkbookSource source;
  source.open(workbookFixture("one_string_many_cells.xlsx"));
  source.openSheet("Sheet1$");
  ASSERT_EQ(source.RecordCount(), 4095);
  ASSERT_EQ(source.GetFieldNames().size(), 64u);
  const std::string_view one = source.text(1, 0);
  EXPECT_EQ(one.size(), 16000u * 3 + 16000u);
  for (int r = 1; r <= 4095; r += 101)
    for (int c = 0; c < 64; c += 7) ASSERT_EQ(source.text(r, c).data(), one.data()) << r << "," << c;
  // Repeated headers: the first keeps the name, the others are numbered.
  EXPECT_EQ(source.FindField(std::string(one) + "63"), 63);
}

}  // namespace
}  // namespace qm
