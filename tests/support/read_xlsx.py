# Prints what an .xlsx holds, in the same line format as read_xls.py:
#   cell <row> <col> <hex or -> <format> | width <col> <chars>
import re
import sys
import zipfile
import xml.etree.ElementTree as ET

NS = {"m": "http://schemas.openxmlformats.org/spreadsheetml/2006/main"}
book = zipfile.ZipFile(sys.argv[1])
styles = ET.fromstring(book.read("xl/styles.xml"))
custom = {f.get("numFmtId"): f.get("formatCode") for f in styles.findall("m:numFmts/m:numFmt", NS)}
builtin = {"0": "General", "49": "@"}
formats = []
for xf in styles.findall("m:cellXfs/m:xf", NS):
    fid = xf.get("numFmtId", "0")
    formats.append(custom.get(fid, builtin.get(fid, "#" + fid)))

strings = []
if "xl/sharedStrings.xml" in book.namelist():
    for si in ET.fromstring(book.read("xl/sharedStrings.xml")).findall("m:si", NS):
        strings.append("".join(t.text or "" for t in si.iter("{%s}t" % NS["m"])))

sheet = ET.fromstring(book.read("xl/worksheets/sheet1.xml"))
for col in sheet.findall("m:cols/m:col", NS):
    for c in range(int(col.get("min")), int(col.get("max")) + 1):
        print("width", c, col.get("width"))
for cell in sheet.iter("{%s}c" % NS["m"]):
    m = re.fullmatch(r"([A-Z]+)(\d+)", cell.get("r"))
    col = 0
    for ch in m.group(1):
        col = col * 26 + ord(ch) - 64
    kind = cell.get("t")
    if kind == "inlineStr":
        value = "".join(t.text or "" for t in cell.iter("{%s}t" % NS["m"]))
    elif kind == "s":
        value = strings[int(cell.find("m:v", NS).text)]
    else:
        value = ""
    fmt = formats[int(cell.get("s", "0"))]
    print("cell", m.group(2), col, value.encode("utf-8").hex() or "-", fmt)
