#pragma once
// The company directory with script-embedded records: which companies it
// lists, how each company page presents its data (which script calls, which
// introduction heading, links or plain text), and the record a correct
// harvester makes of it.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "demo/company.h"
#include "demo/company_catalog.h"
#include "demo/page_damage.h"
#include "sources/framework/record_slot.h"

namespace velmora::demo {

// The search endpoint the directory's form posts to.
inline constexpr std::string_view kScriptSearchPath = "/search/company.asp";
// Company pages: kScriptCompanyPath + id + ".html".
inline constexpr std::string_view kScriptCompanyPath = "/companyinfo/";

// Pool index of the company at 0-based place `index` of the directory's
// listing: the directory lists pool[shift / 2, shift / 2 + perSource), so it
// shares companies with both other directories.
int scriptPoolIndex(const CompanySet& set, int index);
// The id of a company page, and the catalog's regional id it maps back to.
std::uint64_t scriptCompanyId(std::uint64_t regionalId);
bool scriptRegionalId(std::uint64_t companyId, std::uint64_t& regionalId);

struct ScriptLook {
    enum class Calls {
        BriefAndInfo,  // the data in addcompanybrief(...), the name in addcompanyinfo(...)
        InfoFirst,     // the same two calls, addcompanyinfo(...) first on the page
        InfoOnly,      // everything in addcompanyinfo(...)
    };
    enum class Heading { Detailed, Basic, Comment };
    enum class Email { Plain, Mailto, None };
    Calls calls = Calls::BriefAndInfo;
    Heading heading = Heading::Detailed;
    Email email = Email::Plain;
    bool websiteLink = false;         // <a href='...' target='_blank'>...</a>
    bool areaCodeInBrackets = false;  // "(0577)88776655"
    bool paddedName = false;          // spaces around the name in the info call
};

ScriptLook scriptLook(int poolIndex);

// The company as its (possibly damaged) page shows it: a damaged page shows
// its description alone under the profile comment, damaged there.
Company scriptServed(const Company& company, PageDamage damage);

// The introduction's sentences (GBK); empty when the company has nothing to
// say. The page joins them with line breaks and indents them with
// non-breaking spaces.
std::vector<std::string> scriptProfileSentences(const Company& served, PageDamage damage);

// The phone and fax as the page writes them.
std::string scriptNumber(const std::string& number, const ScriptLook& look);

// `served` is scriptServed().
RecordSlot scriptRecord(const Company& served, PageDamage damage);

// The search form's fields as the directory reads them. False unless the
// body is exactly provinceCN=..&key_word=..&page_index=N with every value in
// the form encoding (ASCII letters and digits raw, space "+", other bytes
// "%XX" with upper-case hex) and N a plain decimal of at most a million.
struct ScriptSearch {
    std::string provinceName;  // GBK, empty for all of China
    std::string keyword;       // GBK
    int pageIndex = 0;         // from 0
};
bool parseScriptSearchBody(std::string_view body, ScriptSearch& search);

}  // namespace velmora::demo
