# Prints what xlrd sees in an .xls file, one fact per line, texts as UTF-8 hex:
#   size <rows> <cols> | cell <row> <col> <hex or -> <format> | width <col> <units> | continues <n>
import struct
import sys

import xlrd
from xlrd import compdoc

path = sys.argv[1]
book = xlrd.open_workbook(path, formatting_info=True)
sheet = book.sheet_by_index(0)
print("size", sheet.nrows, sheet.ncols)
for r in range(sheet.nrows):
    for c in range(sheet.row_len(r)):
        cell = sheet.cell(r, c)
        if cell.ctype == xlrd.XL_CELL_EMPTY:
            continue
        fmt = book.format_map[book.xf_list[cell.xf_index].format_key].format_str
        value = cell.value.encode("utf-8").hex() if cell.ctype == xlrd.XL_CELL_TEXT else "-"
        print("cell", r + 1, c + 1, value or "-", fmt)
for c, info in sorted(sheet.colinfo_map.items()):
    print("width", c + 1, info.width)

with open(path, "rb") as f:
    stream = compdoc.CompDoc(f.read(), logfile=sys.stderr).get_named_stream("Workbook")
pos, continues = 0, 0
while pos + 4 <= len(stream):
    kind, length = struct.unpack_from("<HH", stream, pos)
    if kind == 0x003C:
        continues += 1
    pos += 4 + length
print("continues", continues)
