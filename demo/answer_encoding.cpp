// How the demo sites encode their answers: in UTF-8 instead of GBK (the way a
// real directory looks once it has moved on with its markup unchanged), and
// compressed or not.
#include <algorithm>
#include <memory>

#include "demo/site_switches.h"
#include "platform/gbk.h"

namespace velmora::demo {
namespace {

// Rewrites the charset a <meta> tag near the top names; false when none does.
bool renameMetaCharset(std::string& page) {
    static constexpr std::size_t kHead = 2048;
    std::string head = page.substr(0, kHead);
    std::transform(head.begin(), head.end(), head.begin(), [](char c) {
        return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
    });
    for (const char* name : {"charset=gb2312", "charset=gbk"}) {
        std::size_t at = head.find(name);
        if (at == std::string::npos) continue;
        std::size_t value = at + 8;  // behind "charset="
        page.replace(value, std::string_view(name).size() - 8, "utf-8");
        return true;
    }
    return false;
}

}  // namespace

void serveAsUtf8IfChosen(const std::vector<int>& utf8Sites, std::string_view path,
                         httplib::Response& res) {
    int site = siteOfPath(path);
    if (site == 0 || std::find(utf8Sites.begin(), utf8Sites.end(), site) == utf8Sites.end()) return;
    // Answers streamed from a provider (the oversized and huge faults) stay as they are.
    if (res.body.empty()) return;
    std::string page = gbk::toUtf8(res.body);
    bool inMeta = renameMetaCharset(page);
    res.headers.erase("Content-Type");
    res.set_content(std::move(page), inMeta ? "text/html" : "text/html; charset=utf-8");
}

void keepUncompressed(httplib::Response& res) {
    if (res.body.empty()) return;
    // The server compresses a body it holds whole when the client asks for
    // it; one it streams with a known length it sends as it is.
    auto body = std::make_shared<const std::string>(std::move(res.body));
    res.body.clear();
    std::string type = res.get_header_value("Content-Type");
    res.headers.erase("Content-Type");
    res.set_content_provider(
        body->size(), type, [body](size_t offset, size_t length, httplib::DataSink& sink) {
            return sink.write(body->data() + offset, std::min(length, body->size() - offset));
        });
}

}  // namespace velmora::demo
