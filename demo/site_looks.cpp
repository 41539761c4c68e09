#include "demo/site_looks.h"

#include "platform/gbk.h"

namespace velmora::demo {

RegionalLook regionalLook(int i) {
    using Email = RegionalLook::Email;
    using Fax = RegionalLook::Fax;
    static constexpr Email kEmail[] = {Email::Plain,    Email::Plain, Email::NoRow, Email::Plain,
                                       Email::Capitals, Email::NoRow, Email::Plain, Email::EmptyRow,
                                       Email::Plain,    Email::NoRow};
    static constexpr Fax kFax[] = {Fax::Plain, Fax::Plain, Fax::Plain, Fax::Short,
                                   Fax::Plain, Fax::NoRow, Fax::Plain};
    static const std::string kShortFax[] = {gbk::fromUtf8("无"), "-", "1234"};
    RegionalLook look;
    look.email = kEmail[i % 10];
    look.fax = kFax[i % 7];
    look.shortFax = kShortFax[(i / 7) % 3];
    look.boldName = i % 4 == 1;
    look.boldManager = i % 5 == 2;
    look.websiteCapitals = i % 9 == 4;
    return look;
}

AlibabaLook alibabaLook(int i) {
    using Homepage = AlibabaLook::Homepage;
    static constexpr Homepage kHomepage[] = {Homepage::Own, Homepage::Marketplace, Homepage::None,
                                             Homepage::Own};
    AlibabaLook look;
    look.contactMarkers = 1 + i % 3;
    look.homepage = kHomepage[i % 4];
    look.faxItem = i % 5 != 2;
    look.postcodeItem = i % 6 != 4;
    return look;
}

}  // namespace velmora::demo
