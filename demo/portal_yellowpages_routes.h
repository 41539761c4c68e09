#pragma once
// The requests of the portal search (POST /search) and of the yellow pages
// (/yp/search.aspx, /yp/categorycontent.aspx). Each site checks its request as
// strictly as the real ones did: the form fields in their order and encoding,
// the query keys in theirs; a request of another form gets a page without
// any company.
#include <httplib.h>

#include <cstdint>
#include <functional>

#include "demo/company_catalog.h"
#include "demo/demo_sites.h"
#include "demo/fault_response.h"

namespace velmora::demo {

using AnswerContextMaker = std::function<AnswerContext(std::uint64_t salt)>;

// Fault::Listing of source 5: `which` is the answer page, counted from 1.
void servePortalSearch(const httplib::Request& req, httplib::Response& res, CompanyCatalog& catalog,
                       const DemoOptions& options, const AnswerContextMaker& context);

// Fault::Listing of source 6: the category search (`which` 1).
void serveYellowPagesSearch(const httplib::Request& req, httplib::Response& res,
                            CompanyCatalog& catalog, const DemoOptions& options,
                            const AnswerContextMaker& context);

// Fault::Detail of source 6: `which` is the result page's place in the order
// a harvest requests them (every page of category 1, then of category 2, ...).
void serveYellowPagesCategory(const httplib::Request& req, httplib::Response& res,
                              CompanyCatalog& catalog, const DemoOptions& options,
                              const AnswerContextMaker& context);

// Area name (GBK) of the yellow pages to province code; false for a name the
// province box does not offer. The empty name is all of China.
bool yellowPagesAreaCode(const std::string& areaName, std::string& code);

}  // namespace velmora::demo
