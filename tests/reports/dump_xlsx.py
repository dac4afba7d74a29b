#!/usr/bin/python3
# Prints every non-empty cell of every sheet of a workbook as JSON, read through openpyxl:
# {"sheet": {"B25": [value, "n" or "s", number_format]}}. Exit 1 when openpyxl refuses it.
import json
import sys

import openpyxl

wb = openpyxl.load_workbook(sys.argv[1])
out = {}
for ws in wb.worksheets:
    cells = {}
    for row in ws.iter_rows():
        for c in row:
            if c.value is not None:
                cells[c.coordinate] = [c.value, c.data_type, c.number_format]
    out[ws.title] = cells
print(json.dumps(out))
