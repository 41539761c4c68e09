#include "sources/websearch/homepage_extractor.h"

#include <string>

#include "sources/websearch/page_cleaning.h"

namespace velmora {

void extractHomepage(std::string_view page, std::string_view keyword, RecordSlot& slot) {
    (void)keyword;
    std::string cleaned = cleanHomepage(page);
    (void)slot;
}

}  // namespace velmora
