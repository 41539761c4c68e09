#include "sources/scriptdirectory/script_directory_source.h"

#include "platform/gbk.h"
#include "sources/framework/markers.h"
#include "sources/framework/paging.h"
#include "sources/framework/text_scan.h"
#include "sources/scriptdirectory/profile_text.h"
#include "sources/scriptdirectory/rare_byte_search.h"
#include "sources/scriptdirectory/script_arguments.h"

namespace velmora {
namespace {

using text::Pos;

void replaceAll(std::string& s, std::string_view from, std::string_view to) {
    std::string out;
    out.reserve(s.size());
    size_t at = 0;
    for (size_t hit; (hit = s.find(from, at)) != std::string::npos; at = hit + from.size())
        out.append(s, at, hit - at).append(to);
    out.append(s, at);
    s = std::move(out);
}

// A redirect link carries the company page's address behind "url=", up to
// the next parameter; the site escapes only ":" and "/" in it (lower-case,
// since the page was lower-cased).
void unwrapRedirect(std::string& link) {
    size_t u = link.find("url=");
    if (u == std::string::npos) return;
    link.erase(0, u + 4);
    if (size_t amp = link.find('&'); amp != std::string::npos) link.resize(amp);
    replaceAll(link, "%3a", ":");
    replaceAll(link, "%2f", "/");
}

// A link argument such as <a href='mailto:x@y.com'>...</a> becomes the
// address behind `skip` bytes from "href=" up to the next "'". Plain text
// stays as it is.
std::string unwrapHref(std::string_view value, Pos skip) {
    Pos h = text::find(value, "href=");
    if (h == 0) return std::string(value);
    std::string_view rest = text::tail(value, h + skip);
    return std::string(rest.substr(0, rest.find('\'')));
}

}  // namespace

ListingRequest ScriptDirectorySource::listingRequest(const std::string& url, const WorkKey&,
                                                     WorkForm& form) const {
    ListingRequest request{ListingRequest::Method::Post, url, {}};
    request.fields = {{"provinceCN", form.province},
                      {"key_word", form.keyword},
                      {"page_index", text::decimal(std::int64_t{form.nextPage} - 1)}};
    ++form.nextPage;
    return request;
}

void ScriptDirectorySource::parseListing(std::string_view page, WorkForm& form, const WorkKey& key,
                                         IntakeContext&) const {
    static const std::string kEntry = gbk::fromUtf8("【");
    form.detailCount = 0;
    // ">下一页<" looked for by its first Chinese byte, not by the ">" of every tag.
    applyPaging(form, scriptdir::findByByte(page, markers::nextPageLink(), 1) != 0);

    // Each round works on the page behind `dropped` bytes; "target=" is
    // searched in the whole page from ever later starts (by its "g"), so a
    // page without it costs one search, not one per entry.
    scriptdir::ByteFinder targets(page, "target=", 3);
    Pos dropped = 0;
    for (;;) {
        std::string_view rest = text::tail(page, dropped + 1);
        Pos p = text::find(rest, kEntry);
        if (p == 0) break;
        Pos s = text::scanBack(rest, "<a", p, 0);
        // Scanning forward from s + 2 examines s + 3 first; without a
        // "target=" the scan ends on the last byte.
        Pos found = targets.next(dropped + s + 3);
        Pos t = found == 0 ? text::length(rest) : found - dropped;
        // Behind "<a href=", through the byte in front of the one that
        // precedes "target=".
        std::string link(text::cut(rest, s + 8, t - 1));
        unwrapRedirect(link);
        addDetailRow(form, key, std::move(link));
        dropped += p + 3;  // past the "【" and the two bytes behind it
    }
}

void ScriptDirectorySource::parseDetail(std::string_view page, WorkForm& form) const {
    static constexpr std::string_view kBrief = "addcompanybrief(\"";
    static constexpr std::string_view kInfo = "addcompanyinfo(\"";
    const Pos pageEnd = text::length(page) + 1;  // a text that runs to the end keeps the last byte

    RecordSlot& slot = form.slot;
    std::string_view name, phone, contact, manager, address, postcode, email, website, fax;
    // Both calls are looked for by their "(": the page is full of "a".
    Pos info = scriptdir::findByByte(page, kInfo, 14);
    if (Pos brief = scriptdir::findByByte(page, kBrief, 15); brief != 0) {
        Pos start = brief + text::length(kBrief);
        // The arguments end at the first ")" that directly follows a double
        // quote: a ")" inside an argument, as in "(0577)88776655", does not
        // end the call.
        Pos close = scriptdir::findByByte(page, "\")", 1, start - 1);
        auto args = scriptdir::splitBriefArguments(
            text::cut(page, start, close == 0 ? pageEnd : close + 1));
        website = args[2];
        manager = args[3];
        contact = args[11];
        phone = args[12];
        fax = args[13];
        email = args[14];
        address = args[15];
        postcode = args[17];
        if (info != 0) {
            // The name is the second argument of the info call.
            Pos first = text::find(page, scriptdir::kSeparator, info + 16);
            if (first != 0) {
                Pos second = text::find(page, scriptdir::kSeparator, first + 3);
                name = text::trim(text::cut(page, first + 3, second == 0 ? pageEnd : second));
            }
        }
    } else if (info != 0) {
        Pos start = info + text::length(kInfo);
        Pos end = text::find(page, "</script>", start);
        auto a = scriptdir::readInfoArguments(text::cut(page, start, end == 0 ? pageEnd : end));
        name = a.name;
        contact = a.contact;
        manager = a.manager;
        phone = a.phone;
        fax = a.fax;
        email = a.email;
        address = a.address;
        postcode = a.postcode;
        website = a.website;
    }

    slot[Field::Name] = std::string(name);
    slot[Field::Phone] = std::string(phone);
    slot[Field::Contact] = std::string(contact);
    slot[Field::Manager] = std::string(manager);
    slot[Field::Address] = std::string(address);
    slot[Field::Postcode] = std::string(postcode);
    // Behind "href=", the quote and "mailto:"; behind "href=" and the quote.
    slot[Field::Email] = unwrapHref(email, 13);
    slot[Field::Website] = unwrapHref(website, 6);
    slot[Field::Fax] = std::string(fax);
    slot[Field::Profile] = scriptdir::profileOf(page);
}

}  // namespace velmora
