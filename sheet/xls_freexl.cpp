// FreeXL turns date cells into text itself (1900 quirk and 1904 system
// included); numbers are ours to format.
#include "sheet/xls_freexl.h"

#include <freexl.h>

#include <cstring>

#include "sheet/cell_text.h"
#include "sheet/huge_pages.h"
#include "sheet/workbook_reader.h"
#include "sheet/workbook_source.h"

namespace qm {
namespace {

const char* freexlErrorText(int rc) {
  switch (rc) {
    case FREEXL_FILE_NOT_FOUND:
      return "无法读取";
    case FREEXL_INSUFFICIENT_MEMORY:
      return "内存不足";
    case FREEXL_INVALID_CFBF_HEADER:
    case FREEXL_CFBF_INVALID_SIGNATURE:
    case FREEXL_CFBF_INVALID_SECTOR_SIZE:
      return "复合文档头无效";
    case FREEXL_CFBF_READ_ERROR:
    case FREEXL_CFBF_SEEK_ERROR:
      return "文件不完整";
    case FREEXL_BIFF_WORKBOOK_NOT_FOUND:
      return "文件中没有工作簿";
    case FREEXL_BIFF_INVALID_BOF:
    case FREEXL_BIFF_INVALID_SST:
    case FREEXL_BIFF_ILLEGAL_SST_INDEX:
      return "工作簿记录无效";
    case FREEXL_INVALID_CHARACTER:
    case FREEXL_UNSUPPORTED_CHARSET:
      return "文字编码无效";
    case FREEXL_CRAFTED_FILE:
      return "文件结构异常";
    default:
      return "FreeXL错误";
  }
}

}  // namespace

FreeXlWorkbook::FreeXlWorkbook(const std::string& path) : path_(path) {
  const int rc = freexl_open(path.c_str(), &handle_);
  if (rc != FREEXL_OK) {
    freexl_close(handle_);  // FreeXL frees what a failed open left behind
    handle_ = nullptr;
    throw WorkbookError(damagedWorkbookText(path, std::string(freexlErrorText(rc)) + " " + std::to_string(rc)));
  }
  unsigned int info = 0;
  if (freexl_get_info(handle_, FREEXL_BIFF_PASSWORD, &info) == FREEXL_OK && info == FREEXL_BIFF_OBFUSCATED)
    fail("Excel文件设有密码，无法读取：" + path);
  unsigned int count = 0;
  if (freexl_get_info(handle_, FREEXL_BIFF_SHEET_COUNT, &count) != FREEXL_OK)
    fail(damagedWorkbookText(path, "工作表数"));
  for (unsigned int i = 0; i < count && i <= 0xFFFF; ++i) {
    const char* name = nullptr;
    if (freexl_get_worksheet_name(handle_, static_cast<unsigned short>(i), &name) != FREEXL_OK || name == nullptr)
      fail(damagedWorkbookText(path, "工作表名"));
    names_.emplace_back(name);
  }
}

FreeXlWorkbook::~FreeXlWorkbook() {
  if (handle_ != nullptr) freexl_close(handle_);
}

CellTable FreeXlWorkbook::readSheet(std::size_t index) {
  if (index >= names_.size() ||
      freexl_select_active_worksheet(handle_, static_cast<unsigned short>(index)) != FREEXL_OK)
    throw WorkbookError(damagedWorkbookText(path_, "无法选择工作表"));
  unsigned int rows = 0;
  unsigned short columns = 0;
  if (freexl_worksheet_dimensions(handle_, &rows, &columns) != FREEXL_OK)
    throw WorkbookError(damagedWorkbookText(path_, "工作表范围"));
  auto cellAt = [this](unsigned int r, unsigned short c, FreeXL_CellValue& value) {
    if (freexl_get_cell_value(handle_, r, c, &value) != FREEXL_OK)
      throw WorkbookError(damagedWorkbookText(path_, "单元格 " + std::to_string(r + 1) + "," + std::to_string(c + 1)));
  };
  FreeXL_CellValue value;
  // A first pass sizes the text, so it is laid out once and never moved.
  std::size_t bytes = 0;
  for (unsigned int r = 0; r < rows; ++r) {
    for (unsigned short c = 0; c < columns; ++c) {
      cellAt(r, c, value);
      if (value.type == FREEXL_CELL_INT || value.type == FREEXL_CELL_DOUBLE) {
        bytes += 24;
      } else if (value.type != FREEXL_CELL_NULL && value.value.text_value != nullptr) {
        bytes += std::strlen(value.value.text_value);
      }
    }
  }
  CellTableBuilder builder(rows, columns);
  std::string& text = builder.text();
  text.reserve(bytes);
  adviseHugePages(text.data(), bytes);
  for (unsigned int r = 0; r < rows; ++r) {
    for (unsigned short c = 0; c < columns; ++c) {
      cellAt(r, c, value);
      switch (value.type) {
        case FREEXL_CELL_INT:
          cells::appendInteger(text, value.value.int_value);
          break;
        case FREEXL_CELL_DOUBLE:
          cells::appendNumber(text, value.value.double_value);
          break;
        case FREEXL_CELL_TEXT:
        case FREEXL_CELL_SST_TEXT:
        case FREEXL_CELL_DATE:
        case FREEXL_CELL_DATETIME:
        case FREEXL_CELL_TIME:
          if (value.value.text_value != nullptr) text.append(value.value.text_value);
          break;
        default:
          break;
      }
      builder.commit(r, c);
    }
  }
  return builder.finish(names_[index]);
}

void FreeXlWorkbook::fail(const std::string& message) {
  freexl_close(handle_);
  handle_ = nullptr;
  throw WorkbookError(message);
}

}  // namespace qm
