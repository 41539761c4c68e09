// The number handling every parser relies on: the work key S[I]D{X}, the
// decimal reading behind it, the digit filter of phone and fax windows, and
// the paging number probe ">" + (known pages + 1) + "<".
//
// Input: 4 bytes known pages (little-endian), then one text that is read as
// a work key, as a number, as a phone window and as a page.
#include <cstdint>
#include <limits>
#include <optional>
#include <stdexcept>
#include <string>

#include "fuzz/fuzz_support.h"
#include "fuzz/reference_scan.h"
#include "sources/framework/paging.h"
#include "sources/framework/text_scan.h"
#include "sources/framework/work_key.h"

namespace velmora {
namespace {

// A plain decimal: an optional sign and one or more digits, within 32 bits;
// the empty text reads as 0. Anything else is no number.
std::optional<std::int32_t> referenceNumber(std::string_view s) {
    if (s.empty()) return 0;
    bool negative = false;
    if (s.front() == '+' || s.front() == '-') {
        negative = s.front() == '-';
        s.remove_prefix(1);
    }
    if (s.empty()) return std::nullopt;
    std::int64_t value = 0;
    for (char c : s) {
        if (c < '0' || c > '9') return std::nullopt;
        value = value * 10 + (c - '0');
        if (value > std::int64_t{1} << 32) return std::nullopt;  // far out of range already
    }
    if (negative) value = -value;
    if (value < std::numeric_limits<std::int32_t>::min() ||
        value > std::numeric_limits<std::int32_t>::max())
        return std::nullopt;
    return static_cast<std::int32_t>(value);
}

std::optional<std::int32_t> engineNumber(std::string_view s) {
    try {
        return text::parseInt32(s);
    } catch (const std::invalid_argument&) {
        return std::nullopt;
    }
}

std::optional<WorkKey> referenceKey(std::string_view key) {
    size_t open = key.find('['), close = key.find(']'), braceOpen = key.find('{'),
           braceClose = key.find('}');
    if (open == std::string_view::npos || close == std::string_view::npos ||
        braceOpen == std::string_view::npos || braceClose == std::string_view::npos)
        return std::nullopt;
    if (!(open < close && close < braceOpen && braceOpen < braceClose)) return std::nullopt;
    auto s = referenceNumber(key.substr(0, open));
    auto i = referenceNumber(key.substr(open + 1, close - open - 1));
    auto d = referenceNumber(key.substr(close + 1, braceOpen - close - 1));
    auto x = referenceNumber(key.substr(braceOpen + 1, braceClose - braceOpen - 1));
    if (!s || !i || !d || !x) return std::nullopt;
    return WorkKey{*s, *i, *d, *x};
}

std::optional<WorkKey> engineKey(std::string_view key) {
    try {
        return WorkKey::parse(key);
    } catch (const std::invalid_argument&) {
        return std::nullopt;
    }
}

}  // namespace
}  // namespace velmora

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, size_t size) {
    using namespace velmora;
    fuzz::Input in(data, size);
    const std::int32_t known = in.i32();
    fuzz::ExactBytes exact(in.rest());
    const std::string_view bytes = exact.view();

    auto number = engineNumber(bytes);
    FUZZ_CHECK(number == referenceNumber(bytes));
    if (number) FUZZ_CHECK(engineNumber(text::decimal(*number)) == number);

    auto key = engineKey(bytes);
    auto expected = referenceKey(bytes);
    FUZZ_CHECK(key.has_value() == expected.has_value());
    if (key) {
        FUZZ_CHECK(key->source == expected->source && key->index == expected->index &&
                   key->detail == expected->detail && key->extra == expected->extra);
        FUZZ_CHECK(key->isListing() == (key->detail == 0));
        // What the dispatcher writes back is read the same way again.
        auto again = engineKey(key->str());
        FUZZ_CHECK(again && again->source == key->source && again->index == key->index &&
                   again->detail == key->detail && again->extra == 0);
    }

    FUZZ_CHECK(text::digitFilter(bytes) == fuzz::ref::digitFilter(bytes));

    std::string probe = ">" + std::to_string(static_cast<std::int64_t>(known) + 1) + "<";
    FUZZ_CHECK(hasNextPageNumber(bytes, known) == (bytes.find(probe) != std::string_view::npos));
    return 0;
}
