// Company pages of the directory with detail pages (source 4) through the
// page check and the detail parser, as a detail step runs them (without the
// e-mail lookup, which needs the network).
//
// Input: 4 bytes I and 4 bytes detail row D of the work key (little-endian;
// D = 0 reads as 1), then the page as fetched.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "fuzz/reference_scan.h"
#include "fuzz/site_page_steps.h"
#include "platform/gbk.h"
#include "sources/detaildirectory/detail_directory_source.h"

namespace velmora {
namespace {

using fuzz::ref::Pos;
namespace ref = fuzz::ref;

// Longer pages skip the literal comparison: its deletions are quadratic.
constexpr size_t kReferenceLimit = 16384;

std::string g(const char* utf8) {
    return gbk::fromUtf8(utf8);
}

// Positions that start a double-byte character, walking from the start.
std::vector<bool> leadStarts(std::string_view text) {
    std::vector<bool> lead(text.size() + 2, false);
    for (size_t i = 1; i <= text.size();) {
        if (gbk::isLeadByte(static_cast<unsigned char>(text[i - 1]))) {
            lead[i] = true;
            i += 2;
        } else {
            i += 1;
        }
    }
    return lead;
}

std::string deleteAll(std::string s, std::string_view piece) {
    for (Pos p; (p = ref::find(s, piece)) != 0;) s.erase(static_cast<size_t>(p - 1), piece.size());
    return s;
}

Pos findLast(std::string_view page, std::string_view marker) {
    for (Pos k = ref::len(page); k >= 1; --k)
        if (ref::at(page, k, marker)) return k;
    return 0;
}

std::string colonStrip(const std::string& s) {
    Pos narrow = ref::find(s, ":"), wide = ref::find(s, g("："));
    if (narrow != 0 && (wide == 0 || narrow < wide)) return ref::tail(s, narrow + 1);
    if (wide != 0) return ref::tail(s, wide + 2);
    return s;
}

std::string lineCut(const std::string& s) {
    Pos lf = ref::find(s, "\n");
    return lf == 0 ? s : ref::cut(s, 1, lf);
}

std::string rowValue(std::string_view page, Pos p, std::string_view label) {
    Pos start = p + ref::len(label);
    return ref::cut(page, start, ref::scanForward(page, "</tr>", start, ref::len(page) + 1));
}

std::string upToTag(std::string_view page, Pos from) {
    Pos end = ref::scanForward(page, "<", from, 0);
    return end == 0 ? std::string() : ref::trim(ref::cut(page, from, end));
}

Pos leadFrom(const std::vector<bool>& lead, std::string_view page, Pos from) {
    for (Pos k = from < 1 ? 1 : from; k <= ref::len(page); ++k)
        if (lead[static_cast<size_t>(k)]) return k;
    return 0;
}

std::string run(std::string_view page, Pos k, std::string_view set, bool firstAnyway) {
    std::string out;
    if (k < 1 || k > ref::len(page)) return out;
    if (firstAnyway) out.push_back(page[static_cast<size_t>(k++ - 1)]);
    while (k <= ref::len(page) && set.find(page[static_cast<size_t>(k - 1)]) != std::string::npos)
        out.push_back(page[static_cast<size_t>(k++ - 1)]);
    return out;
}

RecordSlot referenceDetail(std::string_view page) {
    const std::string intro = g("<!---公司介绍开始--->"), enterprise = g("<!---企业介绍开始--->");
    const std::vector<bool> lead = leadStarts(page);
    const bool introPage = ref::find(page, "intro.html") != 0;
    RecordSlot slot;

    if (introPage) {
        Pos body = ref::find(page, "<body");
        Pos l = leadFrom(lead, page, body);
        slot[Field::Name] = upToTag(page, l != 0 ? l : body);
    } else if (Pos p = ref::find(page, intro); p != 0) {
        Pos e = 0;
        for (Pos k = p - 1; k >= 1 && e == 0; --k)
            if (lead[static_cast<size_t>(k)]) e = k;
        if (e != 0)
            slot[Field::Name] =
                ref::trim(ref::cut(page, ref::scanBack(page, ">", e, 0) + 1, e + 2));
    } else if (Pos p = ref::find(page, enterprise); p != 0) {
        Pos l = leadFrom(lead, page, p + 21);
        slot[Field::Name] = upToTag(page, l != 0 ? l : p);
    }

    if (Pos p = ref::find(page, g("联系人")); p != 0) {
        std::string v = colonStrip(ref::removeTags(ref::trim(rowValue(page, p, g("联系人")))));
        slot[Field::Contact] = lineCut(ref::trim(deleteAll(deleteAll(v, " "), "&nbsp;")));
    }
    for (auto [label, field] :
         {std::pair{g("电话"), Field::Phone}, std::pair{g("传真"), Field::Fax}}) {
        Pos p = findLast(page, label);
        if (p == 0) continue;
        std::string v = colonStrip(ref::removeTags(rowValue(page, p, label)));
        if (introPage) v = lineCut(v);
        slot[field] = ref::digitFilter(ref::trim(v));
    }
    if (Pos p = ref::find(page, g("法人代表")); p != 0)
        slot[Field::Manager] = ref::trim(deleteAll(
            ref::trim(ref::removeTags(colonStrip(rowValue(page, p, g("法人代表"))))), " "));
    std::string region;
    if (Pos p = ref::find(page, g("省市区:")); p != 0)
        region =
            ref::trim(deleteAll(ref::trim(ref::removeTags(rowValue(page, p, g("省市区:")))), " "));
    if (Pos p = findLast(page, g("地址")); p != 0) {
        std::string v =
            region + ref::trim(ref::removeTags(colonStrip(rowValue(page, p, g("地址")))));
        slot[Field::Address] = deleteAll(deleteAll(deleteAll(v, "\r"), "\n"), " ");
    }
    if (Pos p = ref::find(page, g("邮政编码")); p != 0) {
        std::string v = ref::trim(ref::removeTags(colonStrip(rowValue(page, p, g("邮政编码")))));
        slot[Field::Postcode] = deleteAll(deleteAll(deleteAll(v, "\r"), "\n"), " ");
    }
    if (Pos p = ref::find(page, "mailto:"); p != 0)
        slot[Field::Email] = run(page, p + 7, "@abcdefghijklmnopqrstuvwxyz0123456789._-", true);
    if (Pos p = ref::find(page, g("公司网址")); p != 0) {
        for (Pos h = p + 8; h <= p + 203; ++h) {
            if (!ref::at(page, h, "href=")) continue;
            std::string site = run(page, h + 5, ":/abcdefghijklmnopqrstuvwxyz0123456789._-", false);
            if (ref::find(site, "sina") == 0) slot[Field::Website] = site;
            break;
        }
    }
    if (Pos p = ref::find(page, intro); p != 0) {
        Pos l = leadFrom(lead, page, p + 21);
        Pos start = l != 0 ? l : p;
        Pos end = ref::scanForward(page, "</tr>", start, 0);
        std::string v =
            ref::removeTags(ref::trim(end == 0 ? std::string() : ref::cut(page, start, end)));
        if (v.size() >= 400) v.resize(leadStarts(v)[289] ? 290 : 289);
        v += "......";
        v = ref::trim(deleteAll(deleteAll(v, " "), "&nbsp;"));
        slot[Field::Profile] = ref::trim(deleteAll(v, "<br>"));
    }
    return slot;
}

}  // namespace
}  // namespace velmora

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, size_t size) {
    using namespace velmora;
    const fuzz::DetailInput input = fuzz::readDetailInput(data, size);
    static const DetailDirectorySource source("http://dir.example/qiye/search.php");
    const std::optional<WorkForm> form = fuzz::runDetailStep(source, 4, input);
    if (!form) return 0;
    const std::string& lowered = input.page.lowered;

    const RecordSlot& slot = form->slot;
    for (Field f :
         {Field::Contact, Field::Manager, Field::Address, Field::Postcode, Field::Profile})
        FUZZ_CHECK(slot[f].find(' ') == std::string::npos);
    FUZZ_CHECK(slot[Field::Website].find("sina") == std::string::npos);
    if (lowered.size() <= kReferenceLimit) FUZZ_CHECK(slot == referenceDetail(lowered));
    return 0;
}
