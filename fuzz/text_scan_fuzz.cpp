// The scanning moves all parsers are written in: find, the forward and back
// scans with their clamps, cut and tail, tag removal, trimming, lower-casing,
// the double-byte test and the remembering forward search.
//
// Input: 1 byte marker length, 4 bytes each for two positions and a clamp,
// 1 byte step pattern for the remembering search (all little-endian), the
// marker, then the page.
#include <cstdint>
#include <string>

#include "fuzz/fuzz_support.h"
#include "fuzz/reference_scan.h"
#include "platform/gbk.h"
#include "sources/framework/text_scan.h"

namespace velmora {
namespace {

using fuzz::ref::Pos;
namespace ref = fuzz::ref;

// Tag removal's literal form is quadratic.
constexpr size_t kQuadraticLimit = 4096;

Pos referenceFindLast(std::string_view page, std::string_view marker) {
    for (Pos k = ref::len(page); k >= 1; --k)
        if (ref::at(page, k, marker)) return k;
    return 0;
}

bool referenceTrailByte(std::string_view text, Pos pos) {
    if (pos < 1 || pos > ref::len(text)) return false;
    bool trail = false;  // the byte at position i is a second byte
    for (Pos i = 1; i <= pos; ++i) {
        if (i == pos) return trail;
        auto b = static_cast<unsigned char>(text[static_cast<size_t>(i - 1)]);
        trail = !trail && b >= 0x81 && b <= 0xFE;
    }
    return false;
}

// A position somewhere around the page: before it, in it, just behind it.
Pos around(std::uint32_t raw, std::string_view page) {
    Pos span = ref::len(page) + 6;
    return static_cast<Pos>(raw % static_cast<std::uint32_t>(span)) - 2;
}

}  // namespace
}  // namespace velmora

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, size_t size) {
    using namespace velmora;
    fuzz::Input in(data, size);
    const size_t markerLength = 1 + in.byte() % 12;
    const std::uint32_t rawP = in.u32(), rawQ = in.u32(), rawClamp = in.u32();
    const std::uint8_t steps = in.byte();
    std::string_view rest = in.rest();
    std::string_view markerBytes = rest.substr(0, std::min(markerLength, rest.size()));
    if (markerBytes.empty()) return 0;
    fuzz::ExactBytes marker(markerBytes);
    fuzz::ExactBytes exact(rest.substr(markerBytes.size()));
    const std::string_view page = exact.view();
    const std::string_view m = marker.view();
    const Pos p = around(rawP, page);
    const Pos q = around(rawQ, page);
    const Pos clamp = static_cast<std::int32_t>(rawClamp);

    FUZZ_CHECK(text::find(page, m, p) == ref::find(page, m, p));
    FUZZ_CHECK(text::contains(page, m) == (ref::find(page, m) != 0));
    FUZZ_CHECK(text::findLast(page, m) == referenceFindLast(page, m));

    if (p >= 0) {
        FUZZ_CHECK(text::scanForward(page, m, p) == ref::scanForward(page, m, p, ref::len(page)));
        FUZZ_CHECK(text::scanForward(page, m, p, clamp) == ref::scanForward(page, m, p, clamp));
        FUZZ_CHECK(text::scanForwardMatch(page, m, p) == ref::scanForward(page, m, p, 0));
        FUZZ_CHECK(text::scanBack(page, m, p, clamp) == ref::scanBack(page, m, p, clamp));
        FUZZ_CHECK(text::scanBack(page, m, p, 0) == ref::scanBack(page, m, p, 0));
        FUZZ_CHECK(text::scanBack(page, m, p, p) == ref::scanBack(page, m, p, p));
    }

    FUZZ_CHECK(std::string(text::cut(page, p, q)) == ref::cut(page, p, q));
    FUZZ_CHECK(std::string(text::tail(page, p)) == ref::tail(page, p));
    FUZZ_CHECK(std::string(text::trim(page)) == ref::trim(page));
    FUZZ_CHECK(text::lowerAscii(page) == ref::lowerAscii(page));
    FUZZ_CHECK(text::isTrailByteAt(page, p) == referenceTrailByte(page, p));
    if (page.size() <= kQuadraticLimit) FUZZ_CHECK(text::removeTags(page) == ref::removeTags(page));

    // Successive searches from non-decreasing starts, with steps of 0 to 3
    // bytes taken two bits at a time, then one long jump.
    text::ForwardFinder finder(page, m);
    Pos from = std::min(p, q);
    for (int i = 0; i < 4; ++i) {
        FUZZ_CHECK(finder.next(from) == ref::find(page, m, from));
        from += (steps >> (2 * i)) & 3;
    }
    from = std::max(from, std::max(p, q));
    FUZZ_CHECK(finder.next(from) == ref::find(page, m, from));
    FUZZ_CHECK(finder.next(from + 1) == ref::find(page, m, from + 1));
    return 0;
}
