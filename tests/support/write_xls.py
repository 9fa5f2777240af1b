#!/usr/bin/env python3
"""Writes Excel 97-2003 workbooks (.xls) with python3-xlwt from a JSON description,
so that the tests read files made by a writer other than ours.

    write_xls.py DESCRIPTION.json

{"files": [{"path": "a.xls",
            "sheets": [{"name": "Sheet1",
                        "rows": [["身份证号", "出生日期"],           # text cells
                                 ["11010519491231002X", 20100105],  # a number cell
                                 [null, {"date": "2010-01-05"}]]}]}]}  # empty, a date cell
"""
import datetime
import json
import sys

import xlwt


def write_file(description):
    book = xlwt.Workbook(encoding="utf-8")
    date_style = xlwt.easyxf(num_format_str="YYYY-MM-DD")
    for sheet in description["sheets"]:
        ws = book.add_sheet(sheet["name"], cell_overwrite_ok=True)
        for r, row in enumerate(sheet["rows"]):
            for c, value in enumerate(row):
                if value is None:
                    continue
                if isinstance(value, dict):
                    y, m, d = (int(p) for p in value["date"].split("-"))
                    ws.write(r, c, datetime.date(y, m, d), date_style)
                elif isinstance(value, bool):
                    raise ValueError("booleans are not cells here")
                else:
                    ws.write(r, c, value)
    book.save(description["path"])


def main():
    with open(sys.argv[1], encoding="utf-8") as f:
        description = json.load(f)
    for file_description in description["files"]:
        write_file(file_description)


if __name__ == "__main__":
    main()
