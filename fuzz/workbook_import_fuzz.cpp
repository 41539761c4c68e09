// The spreadsheet import: a file of any bytes (an .xlsx package, a legacy
// .xls compound file, or neither) read into an empty list. It must end, with
// the success path or the failure message, and keep the sheet's row rule.
//
// Input: 1 byte options (bit 0: same-name filter on), then the file.
#include <cstdint>
#include <string>
#include <vector>

#include "app/engine/company_list.h"
#include "fuzz/fuzz_support.h"
#include "io/workbook.h"
#include "platform/gbk.h"
#include "platform/queue_executor.h"
#include "sources/framework/text_scan.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, size_t size) {
    using namespace velmora;
    static fuzz::ScratchDir dir;
    static const std::string path = dir.file("list.xlsx");
    static QueueExecutor executor;  // this thread is the main thread: reports run inline

    fuzz::Input in(data, size);
    const bool filter = (in.byte() & 1) != 0;
    const std::string_view file = in.rest();
    fuzz::writeFile(path, file);

    std::vector<std::string> statuses;
    std::vector<bool> busy;
    int messages = 0, completions = 0;
    io::IoReporter reporter{
        executor,
        [&](const std::string& text) { statuses.push_back(text); },
        [&](bool shown) { busy.push_back(shown); },
        [&](const std::string&, const std::string&) { ++messages; },
        [&] { ++completions; },
    };
    CompanyList list;
    list.setSameNameFilter(filter);
    bool ok = io::importWorkbook(list, path, reporter);

    static const std::string kDone = gbk::fromUtf8("导入企业信息完成");
    FUZZ_CHECK(!busy.empty() && busy.front() && !busy.back());
    if (ok) {
        FUZZ_CHECK(messages == 0 && completions == 1);
        FUZZ_CHECK(!statuses.empty() && statuses.back() == kDone);
    } else {
        FUZZ_CHECK(messages == 1 && completions == 0);
        FUZZ_CHECK(statuses.empty() || statuses.back() != kDone);
    }
    // Rows are taken up to the first one whose first cell is blank.
    for (size_t r = 0; r < list.size(); ++r) FUZZ_CHECK(!text::trim(list.field(r, 0)).empty());
    // The import never writes to the file it reads.
    FUZZ_CHECK(fuzz::readFile(path) == file);
    return 0;
}
