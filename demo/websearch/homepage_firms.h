#pragma once
// The firms behind the demo homepages and the texts their sites show (UTF-8).
#include <string>
#include <vector>

namespace velmora::demo {

struct HomepageFirm {
    std::string province, city, district, road, cityShort, area, postcode;
    int houseNumber = 0;
    std::string trade, business, name, domain;
    std::string phone, phone2, fax, mobile, hotline;
    std::string contact, contact2, surname, manager;
    std::string product, landmark;
    int founded = 0;

    std::string address() const;
    std::string email() const;  // lower case
};

// Thirty firms, deterministic; firms 18 to 23 include factories ("厂").
const std::vector<HomepageFirm>& homepageFirms();

// The introduction's sentences behind its opening words; over 600 bytes in GBK.
std::string introduction(const HomepageFirm& firm);

}  // namespace velmora::demo
