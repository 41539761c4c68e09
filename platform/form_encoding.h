#pragma once
// The body of a form POST ("application/x-www-form-urlencoded"): what the
// HTTP layer sends for the directories that are searched by form.
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace velmora::text {

// Form-value encoding of POST fields: ASCII letters and digits as they are,
// a space as "+", every other byte as "%" and two upper-case hex digits.
std::string formValueEncode(std::string_view bytes);

// A POST body: name=value pairs, values encoded, joined by "&", in order.
using FormFields = std::vector<std::pair<std::string, std::string>>;
std::string formBody(const FormFields& fields);

}  // namespace velmora::text
