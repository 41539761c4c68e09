#include "sources/registry.h"

#include "sources/alibaba/alibaba_source.h"
#include "sources/detaildirectory/detail_directory_source.h"
#include "sources/portal/portal_source.h"
#include "sources/regional/regional_source.h"
#include "sources/yellowpages/yellowpages_source.h"
#include "sources/scriptdirectory/script_directory_source.h"
#include "sources/websearch/web_search_source.h"

namespace velmora {

SourceSet makeSources(const SiteConfig& sites) {
    SourceSet set;
    set[1] = std::make_unique<WebSearchSource>(sites.websearch);
    set[2] = std::make_unique<AlibabaSource>();
    set[3] = std::make_unique<ScriptDirectorySource>(sites.scriptDirectory);
    set[4] = std::make_unique<DetailDirectorySource>(sites.detailDirectory);
    set[5] = std::make_unique<PortalSource>();
    set[6] = std::make_unique<YellowPagesSource>(sites.yellowPagesBase);
    set[7] = std::make_unique<RegionalSource>(sites.regional);
    return set;
}

}  // namespace velmora
