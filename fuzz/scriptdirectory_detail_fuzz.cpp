// Company pages of the directory with script-embedded records (source 3)
// through the page check and the detail parser, as a detail step runs them.
//
// Input: 4 bytes index I and 4 bytes detail row D of the work key
// (little-endian; D = 0 reads as 1), then the page as fetched.
#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "fuzz/reference_scan.h"
#include "fuzz/site_page_steps.h"
#include "platform/gbk.h"
#include "sources/scriptdirectory/script_directory_source.h"

namespace velmora {
namespace {

using fuzz::ref::Pos;

// The literal reading deletes from copies and classifies every byte by a
// walk from the page start: quadratic, so only for short pages.
constexpr size_t kReferenceLimit = 8192;
const std::string kSep = "\",\"";

// Drops the text through the next separator, or all of it.
void skip(std::string& s) {
    Pos at = fuzz::ref::find(s, kSep);
    s = at == 0 ? std::string() : fuzz::ref::tail(s, at + 3);
}
std::string take(std::string& s) {
    Pos at = fuzz::ref::find(s, kSep);
    std::string field = at == 0 ? std::string() : fuzz::ref::cut(s, 1, at);
    skip(s);
    return field;
}
std::string peek(const std::string& s) {
    Pos at = fuzz::ref::find(s, "\",");
    return at == 0 ? std::string() : fuzz::ref::cut(s, 1, at);
}

// Which bytes begin a double-byte character, by one walk from the page start.
std::vector<bool> characterStarts(const std::string& page) {
    std::vector<bool> starts(page.size() + 1, false);
    for (size_t i = 0; i < page.size();) {
        bool lead = gbk::isLeadByte(static_cast<unsigned char>(page[i]));
        starts[i + 1] = lead;
        i += lead ? 2 : 1;
    }
    return starts;
}

// Steps back from p - 1 to the last Chinese character; p when there is none.
Pos lastChinese(const std::string& page, Pos p) {
    std::vector<bool> starts = characterStarts(page);
    for (Pos k = p - 1; k >= 1; --k) {
        auto b = static_cast<unsigned char>(page[k - 1]);
        if (b < 0x40 || b > 0xFE) continue;
        if (starts[static_cast<size_t>(k)] && (b < 0xA1 || b > 0xA9)) return k;
    }
    return p;
}

std::string clean(std::string s) {
    const Pos steps = fuzz::ref::len(s);
    for (Pos i = 1; i <= steps; ++i) {
        auto eraseWhile = [&](const std::string& what) {
            while (fuzz::ref::at(s, i, what) && i <= fuzz::ref::len(s))
                s.erase(static_cast<size_t>(i - 1), what.size());
        };
        eraseWhile("<br>");
        eraseWhile("&nbsp;");
        eraseWhile("\r");
        eraseWhile("\n");
    }
    return s;
}

std::string hrefCut(const std::string& value, Pos skipBytes) {
    Pos h = fuzz::ref::find(value, "href=");
    if (h == 0) return value;
    std::string v = fuzz::ref::tail(value, h + skipBytes);
    Pos q = fuzz::ref::find(v, "'");
    return q == 0 ? v : fuzz::ref::cut(v, 1, q);
}

RecordSlot referenceDetail(const std::string& page) {
    const Pos L = fuzz::ref::len(page);
    std::string name, phone, contact, manager, address, postcode, email, website, fax;
    Pos brief = fuzz::ref::find(page, "addcompanybrief(\"");
    Pos info = fuzz::ref::find(page, "addcompanyinfo(\"");
    if (brief != 0) {
        Pos start = brief + 17, end = L + 1;
        for (Pos k = start; k <= L; ++k)
            if (page[k - 1] == ')' && page[k - 2] == '"') {
                end = k;
                break;
            }
        std::string s = fuzz::ref::cut(page, start, end);
        std::array<std::string, 21> args;
        for (int n = 1; n <= 20; ++n) {
            Pos at = fuzz::ref::find(s, kSep);
            if (at == 0) break;
            args[n] = fuzz::ref::cut(s, 1, at);
            s = fuzz::ref::tail(s, at + 3);
        }
        website = args[3], manager = args[4], contact = args[12], phone = args[13];
        fax = args[14], email = args[15], address = args[16], postcode = args[18];
        if (info != 0) {
            Pos a = fuzz::ref::find(page, kSep, info + 16);
            if (a != 0) {
                Pos b = fuzz::ref::find(page, kSep, a + 3);
                name = fuzz::ref::trim(fuzz::ref::cut(page, a + 3, b == 0 ? L + 1 : b));
            }
        }
    } else if (info != 0) {
        Pos end = fuzz::ref::find(page, "</script>", info + 16);
        std::string s = fuzz::ref::cut(page, info + 16, end == 0 ? L + 1 : end);
        skip(s), name = take(s), skip(s), contact = peek(s), skip(s), manager = take(s);
        skip(s), phone = peek(s), skip(s), take(s), skip(s), fax = peek(s), skip(s), take(s);
        skip(s), email = peek(s), skip(s), take(s), skip(s), address = peek(s), skip(s), take(s);
        skip(s), peek(s), skip(s), take(s), skip(s), postcode = peek(s), skip(s), take(s);
        skip(s), peek(s), skip(s), website = take(s);
    }

    std::string profile;
    static const std::string kDetailed = gbk::fromUtf8("详细企业介绍");
    static const std::string kBasic = gbk::fromUtf8("公司基本信息");
    static const std::string kComment = gbk::fromUtf8("<!--公司简介-->");
    if (Pos h = fuzz::ref::find(page, kDetailed); h != 0) {
        Pos e = lastChinese(page, h);
        Pos s = fuzz::ref::scanBack(page, ">", e, h);
        profile = fuzz::ref::trim(fuzz::ref::cut(page, s + 1, e + 4));
    } else if (Pos h2 = fuzz::ref::find(page, kBasic); h2 != 0) {
        Pos e = lastChinese(page, h2);
        Pos s = fuzz::ref::scanBack(page, "<br>", e, h2);
        profile = fuzz::ref::trim(fuzz::ref::cut(page, s + 4, e + 4));
    } else if (Pos c = fuzz::ref::find(page, kComment); c != 0) {
        Pos end = fuzz::ref::find(page, "<", c + 15);
        profile = fuzz::ref::trim(fuzz::ref::cut(page, c + 15, end == 0 ? L + 1 : end));
    }

    RecordSlot slot;
    slot[Field::Name] = name;
    slot[Field::Phone] = phone;
    slot[Field::Contact] = contact;
    slot[Field::Manager] = manager;
    slot[Field::Address] = address;
    slot[Field::Postcode] = postcode;
    slot[Field::Email] = hrefCut(email, 13);
    slot[Field::Website] = hrefCut(website, 6);
    slot[Field::Fax] = fax;
    slot[Field::Profile] = profile.empty() ? profile : clean(profile);
    return slot;
}

}  // namespace
}  // namespace velmora

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, size_t size) {
    using namespace velmora;
    const fuzz::DetailInput input = fuzz::readDetailInput(data, size);
    static const ScriptDirectorySource source("http://dir.example/search/company.asp");
    const std::optional<WorkForm> form = fuzz::runDetailStep(source, 3, input);
    if (!form) return 0;
    const std::string& lowered = input.page.lowered;
    if (lowered.size() <= kReferenceLimit) FUZZ_CHECK(form->slot == referenceDetail(lowered));
    return 0;
}
