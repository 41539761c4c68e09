#include "sources/registry.h"

#include "sources/alibaba/alibaba_source.h"
#include "sources/detaildirectory/detail_directory_source.h"
#include "sources/regional/regional_source.h"
#include "sources/websearch/web_search_source.h"

namespace velmora {

SourceSet makeSources(const SiteConfig& sites) {
    SourceSet set;
    set[1] = std::make_unique<WebSearchSource>(sites.websearch);
    set[2] = std::make_unique<AlibabaSource>();
    set[4] = std::make_unique<DetailDirectorySource>(sites.detailDirectory);
    set[7] = std::make_unique<RegionalSource>(sites.regional);
    return set;
}

}  // namespace velmora
