#pragma once
// Address pieces of the demo sites. Links that the harvester cuts out of a
// page are lower-cased with the page first, so every escape the sites write
// uses lower-case hex and every decoder accepts both cases.
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace velmora::demo {

// "%XX" escapes (either case) become their byte; everything else, "+"
// included, stays as it is: the sites read the keyword's "+" literally.
std::string percentDecode(std::string_view text);

// Every byte that is not an ASCII lower-case letter, digit, "-" or "." as
// "%xx" with lower-case hex.
std::string lowerHexEscape(std::string_view bytes);

// Lower-case hex of every byte, and back; empty optional-like result with
// ok=false for text that is not hex.
std::string hexEncode(std::string_view bytes);
bool hexDecode(std::string_view hex, std::string& bytes);

// The raw query of a request target ("a=1&b=%CA" from "/p?a=1&b=%CA"), split
// at "&" into name and raw value; empty pieces are skipped.
using RawQuery = std::vector<std::pair<std::string, std::string>>;
RawQuery splitQuery(std::string_view target);
// The decoded value of the first parameter `name`; false when absent.
bool queryValue(const RawQuery& query, std::string_view name, std::string& value);

// The path of a request target, without its query.
std::string_view targetPath(std::string_view target);

}  // namespace velmora::demo
