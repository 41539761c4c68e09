// The spreadsheet import: a file of any bytes read into an empty list. It
// must end, with the success path or the failure message, keep the sheet's
// row rule and leave the file as it was.
//
// Built twice: fuzz_workbook_import takes .xlsx packages and files that are
// no workbook; fuzz_xls_import (VELMORA_FUZZ_XLS) takes legacy .xls compound
// files only, whose reading libfreexl does. The two are apart because
// libfreexl 1.0.6 itself reads outside its buffers on damaged compound files
// (see fuzz/README.md), which would otherwise hide every finding in our own
// package reader.
//
// Input: 1 byte options (bit 0: same-name filter on), then the file.
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "app/engine/company_list.h"
#include "fuzz/fuzz_support.h"
#include "fuzz/import_harness.h"
#include "io/workbook.h"
#include "sources/framework/text_scan.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, size_t size) {
    using namespace velmora;
    static fuzz::ScratchDir dir;
    static const std::string path = dir.file("list.xlsx");
    const auto [filter, file] = fuzz::readImportInput(data, size);
    static const char kCompoundFile[8] = {'\xD0', '\xCF', '\x11', '\xE0',
                                          '\xA1', '\xB1', '\x1A', '\xE1'};
    const bool compound = file.size() >= 8 && std::memcmp(file.data(), kCompoundFile, 8) == 0;
#ifdef VELMORA_FUZZ_XLS
    if (!compound) return 0;
#else
    if (compound) return 0;
#endif
    fuzz::writeFile(path, file);

    fuzz::ImportReports reports;
    CompanyList list;
    list.setSameNameFilter(filter);
    if (io::importWorkbook(list, path, reports.reporter))
        reports.checkCompleted();
    else
        reports.checkFailed();
    FUZZ_CHECK(!reports.busy.empty() && reports.busy.front() && !reports.busy.back());
    // Rows are taken up to the first one whose first cell is blank.
    for (size_t r = 0; r < list.size(); ++r) FUZZ_CHECK(!text::trim(list.field(r, 0)).empty());
    // The import never writes to the file it reads.
    FUZZ_CHECK(fuzz::readFile(path) == file);
    return 0;
}
