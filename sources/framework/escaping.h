#pragma once
// Byte-wise escaping of search inputs for addresses and form bodies.
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace velmora::text {

// Search-address escaping: the bytes of "*#%<>+ []", bytes below 0x20 and
// above 0x7F become "%" and two upper-case hex digits; all others stay.
std::string urlByteEscape(std::string_view bytes);

// Form-value encoding of POST fields: ASCII letters and digits as they are,
// a space as "+", every other byte as "%" and two upper-case hex digits.
std::string formValueEncode(std::string_view bytes);

// A POST body: name=value pairs, values encoded, joined by "&", in order.
using FormFields = std::vector<std::pair<std::string, std::string>>;
std::string formBody(const FormFields& fields);

}  // namespace velmora::text
