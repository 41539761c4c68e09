#include "sources/framework/email_lookup.h"

#include "platform/http_client.h"
#include "sources/framework/text_scan.h"

namespace velmora {
namespace {

bool isAddressByte(char c) {
    return (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '.' || c == '_' || c == '-';
}

std::string_view stripAll(std::string_view s, char c, bool front) {
    if (front) {
        while (!s.empty() && s.front() == c) s.remove_prefix(1);
    } else {
        while (!s.empty() && s.back() == c) s.remove_suffix(1);
    }
    return s;
}

}  // namespace

std::string emailSearchUrl(std::string_view websearchBase, std::string_view name) {
    std::string url(websearchBase);
    url.append("/baidu?word=\"");
    // The name goes in byte for byte, except the three bytes that would end
    // the query value ("&"), start a fragment ("#") or read as an escape ("%"):
    // "A&B贸易有限公司" must not search for "A" alone.
    for (char c : name) {
        switch (c) {
            case '&':
                url.append("%26");
                break;
            case '#':
                url.append("%23");
                break;
            case '%':
                url.append("%25");
                break;
            default:
                url.push_back(c);
        }
    }
    url.append("\"+mail");
    return url;
}

std::vector<std::string> extractSearchHits(std::string_view page, size_t maxHits) {
    using namespace text;
    static constexpr std::string_view kParagraph = "<p class=";
    static constexpr std::string_view kTarget = "\" target=";
    std::vector<std::string> hits;
    while (hits.size() < maxHits && contains(page, kParagraph)) {
        Pos p = find(page, kParagraph);
        Pos h = scanForward(page, "href=", p);
        // Keep the page from h, dropping its last byte.
        std::string_view kept = cut(page, h, length(page));
        Pos q = find(kept, kTarget);
        hits.emplace_back(cut(kept, 7, q));
        page = tail(kept, q);
    }
    return hits;
}

std::string emailCandidate(std::string_view page) {
    size_t at = page.find('@');
    if (at == std::string_view::npos) return {};
    size_t start = at;
    while (start > 0 && isAddressByte(page[start - 1])) --start;
    size_t end = at;  // inclusive; the page's last byte is never taken
    while (end + 2 < page.size() && isAddressByte(page[end + 1])) ++end;
    std::string_view c = page.substr(start, end - start + 1);
    c = stripAll(c, '-', true);
    c = stripAll(c, '-', false);
    c = stripAll(c, '_', true);
    c = stripAll(c, '_', false);
    return std::string(c);
}

bool isAcceptableEmail(std::string_view c) {
    using namespace text;
    Pos len = length(c);
    Pos at = find(c, "@");
    Pos dot = find(c, ".");
    return at > 1 && at < 30 && len - at < 40 && at < len - 4 && dot > 1 && dot < len &&
           !contains(c, "@.") && !contains(c, "htm");
}

void lookupEmail(HttpClient& http, std::string_view websearchBase, RecordSlot& record,
                 WorkTable& mailHits) {
    for (int r = 1; r <= 10; ++r) mailHits.at(r).url.clear();
    std::string page;
    try {
        page = http.get(emailSearchUrl(websearchBase, record[Field::Name]));
    } catch (const std::exception&) {
        return;
    }
    text::lowerAsciiInPlace(page);
    std::vector<std::string> hits = extractSearchHits(page);
    for (size_t i = 0; i < hits.size(); ++i) mailHits.at(static_cast<int>(i) + 1).url = hits[i];

    for (int r = 1; r <= 10; ++r) {
        const std::string& hit = mailHits.row(r).url;
        if (!record[Field::Email].empty() || hit.empty()) break;
        std::string hitPage;
        try {
            hitPage = http.get(hit);
        } catch (const std::exception&) {
            return;
        }
        std::string candidate = emailCandidate(hitPage);
        if (!candidate.empty() && isAcceptableEmail(candidate)) record[Field::Email] = candidate;
        if (record[Field::Website].empty()) record[Field::Website] = hit;
    }
}

}  // namespace velmora
