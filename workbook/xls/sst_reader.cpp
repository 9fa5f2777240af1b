#include "workbook/xls/sst_reader.h"

#include "workbook/workbook_reader.h"
#include "workbook/workbook_source.h"

namespace qm::xls {

std::shared_ptr<StringPool> readSst(const Record& record, const BiffStream& stream, const TextDecoder& text,
                                    std::size_t budget) {
  auto pool = std::make_shared<StringPool>();
  RecordCursor in(record, stream);
  in.u32();  // total uses
  const std::uint32_t unique = in.u32();
  for (std::uint32_t i = 0; i < unique && !in.atEnd(); ++i) {
    const std::size_t count = in.u16();
    const std::uint8_t flags = in.u8();
    std::size_t runs = 0, phonetic = 0;
    if ((flags & 0x08) != 0) runs = in.u16();
    if ((flags & 0x04) != 0) phonetic = in.u32();
    text.appendCharacters(in, count, flags, pool->text);
    in.skip(runs * 4);
    in.skip(phonetic);
    pool->end();
    if ((i & 0x3FF) == 0 && pool->text.size() + pool->offsets.size() * 4 > budget)
      throw WorkbookError(workbookTooLargeText());
  }
  if (pool->text.size() + pool->offsets.size() * 4 > budget) throw WorkbookError(workbookTooLargeText());
  pool->text.shrink_to_fit();
  pool->offsets.shrink_to_fit();
  return pool;
}

}  // namespace qm::xls
