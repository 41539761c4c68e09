// The number text cleaner against its literal reading, on a whole text and
// on a window of it, with and without the tables that take over long
// searches.
//
// Input: 4 bytes (little-endian): position p in the low 10 bits (0 = no
// label), window start in the high 16; 4 bytes: window trim in the low 16;
// then the text.
#include <cstdint>
#include <string>

#include "fuzz/fuzz_support.h"
#include "fuzz/reference_number_cleaner.h"
#include "sources/websearch/number_cleaner.h"
#include "sources/websearch/number_scanner.h"

namespace velmora {
namespace {

// The literal copy-and-shrink reading is quadratic in its window's moves.
constexpr size_t kReferenceLimit = 8192;

}  // namespace
}  // namespace velmora

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, size_t size) {
    using namespace velmora;
    fuzz::Input in(data, size);
    // Two bytes each: read four and keep the low half of the first two.
    std::uint32_t head = in.u32(), tail = in.u32();
    text::Pos p = head & 0x3FF;
    fuzz::ExactBytes bytes(in.rest());
    std::string_view page = bytes.view();
    const text::Pos n = text::length(page);

    std::string whole = cleanNumberText(page, p);
    NumberScanner tabled(page, 0);
    FUZZ_CHECK(tabled.clean(1, n, p) == whole);
    if (page.size() <= kReferenceLimit) FUZZ_CHECK(fuzz::ref::cleanNumberText(page, p) == whole);

    // A window first .. last of the page, as the extractor's loops clean.
    text::Pos first = 1 + static_cast<text::Pos>((head >> 16) % (page.size() + 1));
    text::Pos last = n - static_cast<text::Pos>((tail & 0xFFFF) % (page.size() + 1));
    if (last < first - 1) last = first - 1;
    std::string window(text::cut(page, first, last + 1));
    NumberScanner searching(page);
    std::string got = searching.clean(first, last, p);
    FUZZ_CHECK(tabled.clean(first, last, p) == got);
    FUZZ_CHECK(cleanNumberText(window, p) == got);
    return 0;
}
