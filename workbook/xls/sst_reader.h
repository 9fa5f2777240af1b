#pragma once
// The shared string table (SST) with its CONTINUE records: characters,
// rich-text run arrays and phonetic blocks may each be split between pieces.
#include <cstddef>
#include <memory>

#include "workbook/string_pool.h"
#include "workbook/xls/biff_stream.h"
#include "workbook/xls/xls_strings.h"

namespace qm::xls {

// Sized by the strings found, never by the record's counts. Throws
// WorkbookError on damage or when the strings pass `budget` bytes.
std::shared_ptr<StringPool> readSst(const Record& record, const BiffStream& stream, const TextDecoder& text,
                                    std::size_t budget);

}  // namespace qm::xls
