// The charset conversion of fetched pages: any header and page give a
// declared name of plain name bytes; a page of GBK's family or of no
// declared charset passes unchanged; a converted page is at most twice as
// long (a one-byte charset's character may need two GBK bytes).
//
// Input: the Content-Type header up to the first newline, then the page.
#include <cstdint>
#include <string>

#include "fuzz/fuzz_support.h"
#include "sources/framework/page_charset.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, size_t size) {
    using namespace velmora;
    fuzz::Input in(data, size);
    std::string contentType(in.until('\n'));
    fuzz::ExactBytes page(in.rest());

    std::string declared = text::declaredCharset(contentType, page.view());
    for (char c : declared)
        FUZZ_CHECK((c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' || c == '_' ||
                   c == '.' || c == ':');

    std::string converted(page.view());
    bool changed = text::convertPageToGbk(converted, contentType);
    if (text::passesUnchanged(declared)) {
        FUZZ_CHECK(!changed);
        FUZZ_CHECK(converted == page.view());
    }
    if (!changed) FUZZ_CHECK(converted == page.view());
    FUZZ_CHECK(converted.size() <= 2 * page.view().size() + 2);
    return 0;
}
