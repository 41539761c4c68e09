#pragma once
// Byte-wise escaping of search inputs for addresses (form bodies are the
// HTTP layer's: platform/form_encoding.h).
#include <string>
#include <string_view>

#include "platform/form_encoding.h"

namespace velmora::text {

// Search-address escaping: the bytes of "*#%<>+ []", bytes below 0x20 and
// above 0x7F become "%" and two upper-case hex digits; all others stay.
std::string urlByteEscape(std::string_view bytes);

}  // namespace velmora::text
