#!/usr/bin/env python3
"""Prints the rows of a ';'-separated UTF-8 file as Python's csv module reads them, as JSON."""
import csv
import json
import sys

with open(sys.argv[1], encoding="utf-8-sig", newline="") as f:
    print(json.dumps(list(csv.reader(f, delimiter=";", skipinitialspace=True))))
