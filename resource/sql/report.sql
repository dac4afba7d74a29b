-- Schema of sql/report.db3, the report scratch table and the barcode pairs.
CREATE TABLE IF NOT EXISTS records (
  date TEXT, time TEXT, pagenumber TEXT, level1 TEXT, level2 TEXT, level3 TEXT, level4 TEXT,
  algorithm TEXT, head_mm TEXT, count_con TEXT, count_total TEXT, range_low TEXT,
  range_high TEXT, angle_low TEXT, angle_high TEXT, angle TEXT, start_mom TEXT,
  pitch_step TEXT, moment TEXT, result TEXT
);
-- One barcode pair per record: a second pair for the same record is refused.
CREATE TABLE IF NOT EXISTS codes (
  barcode0 TEXT NOT NULL,
  barcode1 TEXT NOT NULL,
  record TEXT NOT NULL UNIQUE
);
