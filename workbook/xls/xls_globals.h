#pragma once
// The workbook globals substream: BOF (BIFF8 or BIFF5), FILEPASS, CODEPAGE,
// DATEMODE, BOUNDSHEET, SST, FORMAT and XF, up to its EOF.
#include <cstddef>
#include <memory>
#include <string>
#include <vector>

#include "workbook/string_pool.h"
#include "workbook/xls/biff_stream.h"
#include "workbook/xls/xls_formats.h"
#include "workbook/xls/xls_strings.h"

namespace qm::xls {

struct SheetInfo {
  std::string name;
  std::size_t offset = 0;  // of the sheet's BOF in the stream
};

struct Globals {
  bool biff8 = true;
  bool date1904 = false;
  // Worksheets only, in workbook order; chart, macro and module sheets are left out.
  std::vector<SheetInfo> sheets;
  std::shared_ptr<StringPool> sst = std::make_shared<StringPool>();
  FormatTable formats;
};

// Throws WorkbookError: the password text for an encrypted file, the damage
// text otherwise. Sets the decoder's BIFF version and code page.
Globals readGlobals(BiffStream& stream, TextDecoder& text, std::size_t budget);

// "Excel文件设有密码，无法读取：" + path
std::string passwordText(const std::string& path);

}  // namespace qm::xls
