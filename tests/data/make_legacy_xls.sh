#!/usr/bin/env bash
# Makes tests/data/legacy.xls, the legacy (BIFF8) workbook the import tests
# read, and tests/data/other_writer.xlsx, the same cells as another program
# writes them (shared strings, numeric cells). Run once on a developer
# machine; the tests only need the files. Needs
# the npm package "xlsx" (SheetJS) to lay out the cells with their types and
# Gnumeric's ssconvert to write BIFF8 the way Excel does:
#   npm install --prefix /tmp/xlsfix xlsx@0.18.5
#   apt-get install --no-install-recommends gnumeric
#   tests/data/make_legacy_xls.sh
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT

NODE_PATH="${NODE_PATH:-/tmp/xlsfix/node_modules}" node - "$here/other_writer.xlsx" <<'JS'
const XLSX = require('xlsx');
// First sheet: three entries, then a blank row, then a row that must not be
// read. Empty cells are left out (freexl cannot open a BIFF8 file that holds
// an empty text cell). 310000 and the ID 3 and 1.5 are numeric cells; "007" and "315000"
// are text cells.
const rows = [
  ['1', '杭州测试机械有限公司', '0571 88888888', '王先生', '李经理', '浙江省杭州市西湖区文三路1号',
   310000, 'sales@example.com', 'http://www.example.com', '0571-88889999', '主营机械设备。'],
  ['007', '宁波贸易有限公司', '0574-1234567', null, null, null, '315000'],
  [3, '温州鞋业公司', 1.5],
  [],
  ['9', '不应导入的公司'],
];
const book = XLSX.utils.book_new();
XLSX.utils.book_append_sheet(book, XLSX.utils.aoa_to_sheet(rows), '企业');
// A second sheet that must not be read.
XLSX.utils.book_append_sheet(book, XLSX.utils.aoa_to_sheet([['99', '第二个工作表']]), 'Other');
XLSX.writeFile(book, process.argv[2], { bookSST: true });  // texts as shared strings
JS

ssconvert --export-type=Gnumeric_Excel:excel_biff8 "$here/other_writer.xlsx" "$work/legacy.xls"
cp "$work/legacy.xls" "$here/legacy.xls"
