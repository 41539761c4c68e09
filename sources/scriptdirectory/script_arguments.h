#pragma once
// The quoted arguments of the directory's two script calls,
// addcompanybrief("...","...",...) and addcompanyinfo("...","...",...).
// Arguments are separated by the three bytes `","`; every argument is a view
// into the page, so reading a call costs one pass over its text.
#include <array>
#include <string_view>

namespace velmora::scriptdir {

inline constexpr std::string_view kSeparator = "\",\"";

// The first twenty arguments of an addcompanybrief text: each is the text in
// front of the next separator. Once no separator remains, that argument and
// all later ones are empty; the text behind the last separator (the last
// argument with its closing quote) is never taken.
inline constexpr int kBriefArguments = 20;
std::array<std::string_view, kBriefArguments> splitBriefArguments(std::string_view text);

// What the addcompanyinfo call carries, by its argument numbers (from 1):
// 2 name, 4 contact, 5 manager, 7 phone, 10 fax, 13 e-mail, 16 address,
// 22 postcode, 26 website.
struct InfoArguments {
    std::string_view name;
    std::string_view contact;
    std::string_view manager;
    std::string_view phone;
    std::string_view fax;
    std::string_view email;
    std::string_view address;
    std::string_view postcode;
    std::string_view website;
};

// Reads an addcompanyinfo text by the site's fixed sequence of skips, takes
// and peeks. A take or skip without a further separator empties the rest; a
// peek without a further `",` gives an empty field.
InfoArguments readInfoArguments(std::string_view text);

}  // namespace velmora::scriptdir
