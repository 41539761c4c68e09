// The text file import: a file of any bytes read into an empty list, with the
// slot rule, the ID rule and the same-name filter, compared with a literal
// reading of the format.
//
// Input: 1 byte options (bit 0: same-name filter on), then the file.
#include <cstdint>
#include <string>
#include <vector>

#include "app/engine/company_list.h"
#include "fuzz/fuzz_support.h"
#include "fuzz/import_harness.h"
#include "io/text_format.h"
#include "platform/gbk.h"

namespace velmora {
namespace {

using Entry = std::array<std::string, kColumns>;

// Lines end at CR LF or a lone LF; after a lone CR the rest of the physical
// line is skipped; a last line without an end counts too.
std::vector<std::string> referenceLines(std::string_view file) {
    std::vector<std::string> lines;
    size_t i = 0;
    while (i < file.size()) {
        size_t stop = file.find_first_of("\r\n", i);
        if (stop == std::string_view::npos) {
            lines.emplace_back(file.substr(i));
            break;
        }
        lines.emplace_back(file.substr(i, stop - i));
        size_t nl = file[stop] == '\n' ? stop : file.find('\n', stop);
        if (nl == std::string_view::npos) break;
        i = nl + 1;
    }
    return lines;
}

// After the first "[" up to the first "]"; from the line start without "[";
// empty when no "]" follows.
std::string referenceId(const std::string& line) {
    size_t open = line.find('[');
    size_t close = line.find(']');
    size_t from = open == std::string::npos ? 0 : open + 1;
    if (close == std::string::npos || close < from) return {};
    return line.substr(from, close - from);
}

std::vector<Entry> referenceImport(std::string_view file, bool filter) {
    static const std::string kMarker = gbk::fromUtf8("·[");
    std::vector<Entry> list;
    std::array<std::string, 12> slots;  // 1 .. 11 used
    int k = 1;
    for (const std::string& line : referenceLines(file)) {
        if (line.find(kMarker) != std::string::npos) k = 1;
        slots[static_cast<size_t>(k)] = line;
        ++k;
        if (k == 12) {
            bool accepted = !slots[1].empty();
            if (accepted && filter) {
                // The newest 5001 entries are compared.
                size_t first = list.size() > CompanyList::kFilterWindow
                                   ? list.size() - CompanyList::kFilterWindow
                                   : 0;
                for (size_t r = first; r < list.size() && accepted; ++r)
                    accepted = list[r][1] != slots[2];
            }
            if (accepted) {
                Entry e;
                e[0] = referenceId(slots[1]);
                for (int c = 1; c < kColumns; ++c)
                    e[static_cast<size_t>(c)] = slots[static_cast<size_t>(c) + 1];
                list.push_back(std::move(e));
            }
            k = 1;
        }
    }
    return list;
}

}  // namespace
}  // namespace velmora

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, size_t size) {
    using namespace velmora;
    static fuzz::ScratchDir dir;
    static const std::string path = dir.file("list.txt");
    const fuzz::ImportInput input = fuzz::readImportInput(data, size);
    fuzz::writeFile(path, input.file);

    fuzz::ImportReports reports;
    CompanyList list;
    list.setSameNameFilter(input.sameNameFilter);
    FUZZ_CHECK(io::importText(list, path, reports.reporter));  // any bytes are a readable file
    reports.checkCompleted();
    FUZZ_CHECK(reports.busy.size() == 2 && reports.busy[0] && !reports.busy[1]);

    std::vector<Entry> expected = referenceImport(input.file, input.sameNameFilter);
    FUZZ_CHECK(list.size() == expected.size());
    for (size_t r = 0; r < expected.size(); ++r)
        for (int c = 0; c < kColumns; ++c)
            FUZZ_CHECK(list.field(r, c) == expected[r][static_cast<size_t>(c)]);
    return 0;
}
