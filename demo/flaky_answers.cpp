// Transient failures of a url's first answers, and which site a path is.
#include <memory>

#include "demo/demo_random.h"
#include "demo/scriptdirectory/script_directory_look.h"
#include "demo/site_switches.h"
#include "demo/switch_text.h"

namespace velmora::demo {
namespace {

struct KindName {
    const char* text;
    TransientKind kind;
};
constexpr KindName kKindNames[] = {
    {"mixed", TransientKind::Mixed},   {"408", TransientKind::Status408},
    {"429", TransientKind::Status429}, {"500", TransientKind::Status500},
    {"502", TransientKind::Status502}, {"503", TransientKind::Status503},
    {"504", TransientKind::Status504}, {"drop", TransientKind::Drop},
    {"stall", TransientKind::Stall},
};

int statusOf(TransientKind kind) {
    switch (kind) {
        case TransientKind::Status408:
            return 408;
        case TransientKind::Status429:
            return 429;
        case TransientKind::Status500:
            return 500;
        case TransientKind::Status502:
            return 502;
        case TransientKind::Status504:
            return 504;
        default:
            return 503;
    }
}

// Half of a page that never arrives in full.
void answerBroken(httplib::Response& res, bool stall, StopSignal& stop) {
    static const std::string kBody(8192, ' ');
    res.set_content_provider(kBody.size(), "text/html; charset=gbk",
                             [stall, &stop](size_t offset, size_t, httplib::DataSink& sink) {
                                 size_t half = kBody.size() / 2;
                                 if (offset < half)
                                     sink.write(kBody.data() + offset, half - offset);
                                 if (stall) stop.waitUntilStopped();
                                 return false;  // the connection closes with the rest unsent
                             });
}

}  // namespace

bool parseFlakiness(std::string_view text, Flakiness& flakiness, std::string& error) {
    std::vector<std::string_view> parts = splitColons(text);
    Flakiness f;
    bool ok = parts.size() <= 5 && parseWholeInt(parts[0], f.answers) && f.answers >= 0;
    if (ok && parts.size() > 1)
        ok = parseWholeInt(parts[1], f.percent) && f.percent >= 0 && f.percent <= 100;
    if (ok && parts.size() > 2) {
        ok = false;
        for (const auto& k : kKindNames)
            if (parts[2] == k.text) f.kind = k.kind, ok = true;
    }
    if (ok && parts.size() > 3) ok = parseWholeInt(parts[3], f.retryAfterS) && f.retryAfterS >= -1;
    if (ok && parts.size() > 4) ok = parseWholeInt(parts[4], f.site) && f.site >= 1 && f.site <= 7;
    if (!ok) {
        error =
            "expected K[:PERCENT[:KIND[:RETRY_AFTER_S[:SITE]]]] (KIND mixed, 408, 429, 500, "
            "502, 503, 504, drop or stall; SITE 1 to 7)";
        return false;
    }
    flakiness = f;
    return true;
}

std::string transientKindName(TransientKind kind) {
    for (const auto& k : kKindNames)
        if (k.kind == kind) return k.text;
    return "mixed";
}

int siteOfPath(std::string_view path) {
    if (path.starts_with("/main/corp/")) return 7;
    if (path.starts_with("/company/k-") || path.starts_with("/athena/contact/")) return 2;
    if (path.starts_with("/qiye/")) return 4;
    if (path == "/baidu" || path.starts_with("/hit/") || path.starts_with("/home/")) return 1;
    if (path == "/search") return 5;
    if (path.starts_with("/yp/")) return 6;
    if (path == kScriptSearchPath || path.starts_with(kScriptCompanyPath)) return 3;
    return 0;
}

int AnswerCounter::next(const std::string& key) {
    std::lock_guard lock(mutex_);
    return counts_[key]++;
}

void answerTransient(httplib::Response& res, TransientKind kind, int answer, int retryAfterS,
                     StopSignal& stop) {
    if (kind == TransientKind::Mixed)
        kind = kMixedKinds[static_cast<size_t>(answer) % std::size(kMixedKinds)];
    if (kind == TransientKind::Drop || kind == TransientKind::Stall)
        return answerBroken(res, kind == TransientKind::Stall, stop);
    int status = statusOf(kind);
    res.status = status;
    if ((status == 429 || status == 503) && retryAfterS >= 0)
        res.set_header("Retry-After", std::to_string(retryAfterS));
    res.set_content("<html><body>" + std::to_string(status) + "</body></html>\r\n",
                    "text/html; charset=gbk");
}

bool failTransiently(const Flakiness& flaky, std::uint32_t seed, const httplib::Request& req,
                     AnswerCounter& counter, StopSignal& stop, httplib::Response& res) {
    if (flaky.answers <= 0 || flaky.percent <= 0) return false;
    std::string_view path(req.target);
    path = path.substr(0, path.find('?'));
    if (flaky.site >= 0 && siteOfPath(path) != flaky.site) return false;
    // A POST names its page in its body.
    std::string key = req.method + " " + req.target + " " + req.body;
    if (fnv1a(key, fnv1a(std::to_string(seed))) % 100 >= static_cast<std::uint64_t>(flaky.percent))
        return false;
    int answer = counter.next(key);
    if (answer >= flaky.answers) return false;
    answerTransient(res, flaky.kind, answer, flaky.retryAfterS, stop);
    return true;
}

}  // namespace velmora::demo
