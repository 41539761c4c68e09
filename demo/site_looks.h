#pragma once
// How each site presents a company: which rows and items its page has and in
// what form. A fixed schedule over the pool index, so that every few
// companies in a row show every variation a harvester has to cope with.
#include <string>

namespace velmora::demo {

struct RegionalLook {
    enum class Email {
        Plain,     // the address as it is
        Capitals,  // written with capitals (harvested lower-cased)
        EmptyRow,  // the row is there with no value: the e-mail lookup runs
        NoRow,     // no e-mail row: the e-mail lookup runs
    };
    enum class Fax {
        Plain,  // the company's fax (an empty cell when it has none)
        Short,  // a short placeholder such as "无", which the harvester drops
        NoRow,
    };
    Email email = Email::Plain;
    Fax fax = Fax::Plain;
    std::string shortFax;   // GBK, fewer than five bytes
    bool boldName = false;  // the name cell wraps the name in <b>...</b>
    bool boldManager = false;
    bool websiteCapitals = false;  // the website written with capitals
};

struct AlibabaLook {
    enum class Homepage {
        Own,          // the company's website (or no homepage line when it has none)
        Marketplace,  // a link to the company's page on the marketplace (dropped)
        None,
    };
    int contactMarkers = 1;  // occurrences of "comy_cont_toclub" on the contact page: 1, 2 or 3
    Homepage homepage = Homepage::Own;
    bool faxItem = true;  // shown only when the company has a fax
    bool postcodeItem = true;
};

RegionalLook regionalLook(int poolIndex);
AlibabaLook alibabaLook(int poolIndex);

}  // namespace velmora::demo
