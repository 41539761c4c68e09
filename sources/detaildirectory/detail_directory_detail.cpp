#include "platform/gbk.h"
#include "sources/detaildirectory/detail_cleaning.h"
#include "sources/detaildirectory/detail_directory_source.h"
#include "sources/framework/text_scan.h"

namespace velmora {
namespace {

using text::Pos;
namespace dd = detaildirectory;

struct Markers {
    std::string introFile = "intro.html";
    std::string companyIntro = gbk::fromUtf8("<!---公司介绍开始--->");
    std::string enterpriseIntro = gbk::fromUtf8("<!---企业介绍开始--->");
    std::string contact = gbk::fromUtf8("联系人");
    std::string phone = gbk::fromUtf8("电话");
    std::string fax = gbk::fromUtf8("传真");
    std::string manager = gbk::fromUtf8("法人代表");
    std::string region = gbk::fromUtf8("省市区:");
    std::string address = gbk::fromUtf8("地址");
    std::string postcode = gbk::fromUtf8("邮政编码");
    std::string website = gbk::fromUtf8("公司网址");
};

const Markers& markers() {
    static const Markers k;
    return k;
}

// The value behind a label at p: from the first byte behind the label to the
// next "</tr>" (looked for from the byte after that), or to the page end.
std::string_view rowValue(std::string_view page, Pos p, std::string_view label) {
    if (p == 0) return {};
    Pos start = p + text::length(label);
    Pos end = text::scanForward(page, "</tr>", start, text::length(page) + 1);
    return text::cut(page, start, end);
}

// The text from position `from` up to the next "<" behind it, trimmed; empty
// when no "<" follows.
std::string upToNextTag(std::string_view page, Pos from) {
    Pos end = text::scanForwardMatch(page, "<", from);
    if (end == 0) return {};
    return std::string(text::trim(text::cut(page, from, end)));
}

// Where a text written behind an introduction marker at p begins: the first
// lead byte from the byte right behind the marker, or the marker itself.
Pos introStart(std::string_view page, Pos p, std::string_view marker) {
    Pos lead = dd::firstLeadFrom(page, p + text::length(marker));
    return lead != 0 ? lead : p;
}

std::string name(std::string_view page, bool introPage, Pos companyIntro) {
    const Markers& m = markers();
    if (introPage) {
        Pos body = dd::findMarker(page, "<body");
        Pos lead = dd::firstLeadFrom(page, body);
        return upToNextTag(page, lead != 0 ? lead : body);
    }
    if (Pos p = companyIntro; p != 0) {
        // The name is the text in front of the marker, back to the last ">",
        // through the last double-byte character.
        Pos e = dd::lastLeadBefore(page, p);
        if (e == 0) return {};
        Pos s = text::scanBack(page, ">", e, 0);
        return std::string(text::trim(text::cut(page, s + 1, e + 2)));
    }
    if (Pos p = dd::findMarker(page, m.enterpriseIntro); p != 0)
        return upToNextTag(page, introStart(page, p, m.enterpriseIntro));
    return {};
}

std::string numberField(std::string_view page, std::string_view label, bool introPage) {
    Pos p = dd::findLastMarker(page, label);
    if (p == 0) return {};
    std::string tagless = text::removeTags(rowValue(page, p, label));
    std::string_view value = dd::colonStrip(tagless);
    if (introPage) value = dd::lineCut(value);
    return text::digitFilter(text::trim(value));
}

std::string contact(std::string_view page) {
    const std::string& label = markers().contact;
    Pos p = dd::findMarker(page, label);
    if (p == 0) return {};
    std::string tagless = text::removeTags(text::trim(rowValue(page, p, label)));
    std::string value = dd::removeEvery(dd::removeEvery(dd::colonStrip(tagless), " "), "&nbsp;");
    return std::string(dd::lineCut(text::trim(value)));
}

std::string manager(std::string_view page) {
    const std::string& label = markers().manager;
    Pos p = dd::findMarker(page, label);
    if (p == 0) return {};
    std::string tagless = text::removeTags(dd::colonStrip(rowValue(page, p, label)));
    return std::string(text::trim(dd::removeEvery(text::trim(tagless), " ")));
}

std::string region(std::string_view page) {
    const std::string& label = markers().region;
    Pos p = dd::findMarker(page, label);
    if (p == 0) return {};
    std::string tagless = text::removeTags(rowValue(page, p, label));
    return std::string(text::trim(dd::removeEvery(text::trim(tagless), " ")));
}

// Colon strip, tag removal, trim: the start of the address and postcode.
std::string strippedValue(std::string_view page, Pos p, std::string_view label) {
    return std::string(text::trim(text::removeTags(dd::colonStrip(rowValue(page, p, label)))));
}

std::string address(std::string_view page) {
    const std::string& label = markers().address;
    Pos p = dd::findLastMarker(page, label);
    if (p == 0) return {};
    return dd::removeLineBreaksAndSpaces(region(page) + strippedValue(page, p, label));
}

std::string postcode(std::string_view page) {
    const std::string& label = markers().postcode;
    Pos p = dd::findMarker(page, label);
    if (p == 0) return {};
    return dd::removeLineBreaksAndSpaces(strippedValue(page, p, label));
}

// The run of bytes from `allowed` that starts at position `from`; with
// `firstAnyway` the byte at `from` is taken whatever it is. The run may end
// with the page's last byte.
std::string run(std::string_view page, Pos from, std::string_view allowed, bool firstAnyway) {
    if (from < 1 || from > text::length(page)) return {};
    size_t begin = static_cast<size_t>(from - 1);
    size_t end = page.find_first_not_of(allowed, firstAnyway ? begin + 1 : begin);
    if (end == std::string_view::npos) end = page.size();
    return std::string(page.substr(begin, end - begin));
}

std::string email(std::string_view page) {
    static constexpr std::string_view kMailto = "mailto:";
    Pos p = dd::findMarker(page, kMailto);
    if (p == 0) return {};
    return run(page, p + text::length(kMailto), "@abcdefghijklmnopqrstuvwxyz0123456789._-", true);
}

std::string website(std::string_view page) {
    static constexpr std::string_view kHref = "href=";
    const std::string& label = markers().website;
    Pos p = dd::findMarker(page, label);
    if (p == 0) return {};
    // The whole "href=" lies within the 200 bytes behind the label.
    Pos behind = p + text::length(label);
    Pos h = text::find(text::cut(page, behind, behind + 200), kHref);
    if (h == 0) return {};
    // Only address bytes: a quoted href gives nothing.
    std::string site = run(page, behind + h - 1 + text::length(kHref),
                           ":/abcdefghijklmnopqrstuvwxyz0123456789._-", false);
    if (text::contains(site, "sina")) site.clear();
    return site;
}

std::string profile(std::string_view page, Pos p) {
    const std::string& marker = markers().companyIntro;
    if (p == 0) return {};
    Pos start = introStart(page, p, marker);
    Pos end = text::scanForwardMatch(page, "</tr>", start);
    std::string_view raw = end == 0 ? std::string_view{} : text::cut(page, start, end);
    std::string value = text::removeTags(text::trim(raw));
    if (value.size() >= 400) value.resize(text::isTrailByteAt(value, 290) ? 290 : 289);
    value += "......";
    value = dd::removeEvery(dd::removeEvery(value, " "), "&nbsp;");
    return std::string(text::trim(dd::removeEvery(text::trim(value), "<br>")));
}

}  // namespace

void DetailDirectorySource::parseDetail(std::string_view page, WorkForm& form) const {
    const Markers& m = markers();
    bool introPage = dd::findMarker(page, m.introFile) != 0;
    Pos companyIntro = dd::findMarker(page, m.companyIntro);
    RecordSlot& slot = form.slot;
    slot[Field::Name] = name(page, introPage, companyIntro);
    slot[Field::Contact] = contact(page);
    slot[Field::Phone] = numberField(page, m.phone, introPage);
    slot[Field::Fax] = numberField(page, m.fax, introPage);
    slot[Field::Manager] = manager(page);
    slot[Field::Address] = address(page);
    slot[Field::Postcode] = postcode(page);
    slot[Field::Email] = email(page);
    slot[Field::Website] = website(page);
    slot[Field::Profile] = profile(page, companyIntro);
}

}  // namespace velmora
