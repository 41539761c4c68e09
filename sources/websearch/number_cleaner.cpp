#include "sources/websearch/number_cleaner.h"

#include "sources/websearch/number_scanner.h"

namespace velmora {

std::string cleanNumberText(std::string_view text, text::Pos position) {
    NumberScanner scanner(text);
    return scanner.clean(1, text::length(text), position);
}

}  // namespace velmora
