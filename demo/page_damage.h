#pragma once
// The two faults that damage a page's bytes but leave it a page: byte runs
// that are no GBK, and a page that ends inside a double-byte character.
// Detail pages are damaged inside a harvested value (so the damage reaches
// the list); other pages in their footer.
#include <cstddef>
#include <string>
#include <string_view>

#include "demo/company.h"

namespace velmora::demo {

enum class PageDamage { None, InvalidGbk, Truncated };

// Bytes that no GBK decoder accepts: 0xFF, a lead byte with the trail 0x7F,
// 0xFF again. None of them is below 0x21 or in "A".."Z", so trimming and
// lower-casing leave them alone.
const std::string& invalidGbkRun();

// A character boundary near the middle of a GBK text (0 for an empty text).
std::size_t middleBoundary(std::string_view text);

// How many bytes of `text` a page that ends inside a double-byte character
// near the middle keeps: up to and including that character's lead byte.
// npos when the text has no double-byte character.
std::size_t truncatedLength(std::string_view text);

// `text` with the invalid run inserted at its middle boundary.
std::string withInvalidRun(std::string_view text);

// The company as a damaged detail page shows it: the damage lands in the
// description, which then always has one (`fallback` when it had none).
Company withDamagedDescription(const Company& company, PageDamage damage,
                               const std::string& fallback);

// Footer damage: the invalid run in front of the copyright text, or the page
// cut behind the copyright text's first byte (a lead byte).
void damageFooter(std::string& page, PageDamage damage);

}  // namespace velmora::demo
