#pragma once
// Pages of the company directory with detail pages: the result pages that
// its search form (a POST of key, province and page) answers, and the
// company pages that they link through "详细资料".
#include <cstddef>
#include <string>

#include "demo/company.h"
#include "demo/company_catalog.h"
#include "demo/page_damage.h"

namespace velmora::demo {

// How the directory shows one company; a fixed schedule over the pool index.
struct DetailDirectoryLook {
    enum class Title {
        IntroFrame,       // a company mini-site page: the name opens the body, "intro.html" tab
        IntroBox,         // the name heads the introduction box ("<!---公司介绍开始--->")
        EnterpriseTitle,  // the name directly behind "<!---企业介绍开始--->", no introduction
    };
    enum class Email { Mailto, MailtoCapitals, TextOnly, NoRow };
    enum class Website { Unquoted, Quoted, Blog };
    Title title = Title::IntroBox;
    bool introOnFrame = true;  // an IntroFrame page also carries the introduction box
    Email email = Email::Mailto;
    Website website = Website::Unquoted;
    bool regionRow = true;       // "省市区:" row; the address row then omits province and city
    bool bracketedArea = false;  // the phone written "(0571)88881234"
    bool mobileLine = false;     // a second line "手机：..." under the contact (and phone)
    bool longIntro = false;      // the introduction runs well past 400 bytes

    bool hasIntroduction() const {
        return title == Title::IntroBox || (title == Title::IntroFrame && introOnFrame);
    }
};

DetailDirectoryLook detailDirectoryLook(int poolIndex, PageDamage damage);

// Result page `page` (from 0) of the pool's first perSource companies; an
// empty result page when `page` lies beyond them or `formOk` is false.
std::string detailDirectoryListingPage(const CompanySet& set, int page, int pageSize, bool formOk,
                                       const std::string& address, std::size_t targetBytes,
                                       PageDamage damage);

// The company as its (possibly damaged) page shows it: a damaged page always
// has a description, which it damages, and shows it in its introduction.
Company detailDirectoryServed(const Company& company, PageDamage damage);

// The company's mobile number, as a second line of some pages.
std::string detailDirectoryMobile(const Company& company);

// The region and the rest of an address ("浙江省杭州市", "高新区…"); the
// region is empty when the address starts with no known province.
void splitAddress(const std::string& address, std::string& region, std::string& rest);

// The company page: contact table, then the introduction (the page's last
// harvested text). `served` is detailDirectoryServed(); a Truncated page
// ends inside the introduction.
std::string detailDirectoryDetailPage(const Company& served, std::size_t targetBytes,
                                      PageDamage damage);

// The raw introduction text as the page writes it behind its marker.
std::string detailDirectoryIntroduction(const Company& served, const DetailDirectoryLook& look);

}  // namespace velmora::demo
