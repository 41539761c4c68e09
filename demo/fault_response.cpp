#include "demo/fault_response.h"

#include <algorithm>

#include "demo/page_filler.h"
#include "platform/gbk.h"

namespace velmora::demo {
namespace {

constexpr std::size_t kChunk = 64 * 1024;

std::string errorPage(int status) {
    static const std::string kNotFound = gbk::fromUtf8(
        "<html><head><title>404 - 页面不存在</title></head><body><h2>HTTP 404 - 页面不存在</h2>"
        "<p>您要查看的页面已被删除、更名或暂时不可用。</p></body></html>\r\n");
    static const std::string kServerError = gbk::fromUtf8(
        "<html><head><title>500 - 内部服务器错误</title></head><body><h2>HTTP 500 - 内部服务器错误"
        "</h2><p>Microsoft VBScript 运行时错误 "
        "'800a000d'<br>类型不匹配<br>/main/corp/inc/conn.asp，"
        "行 27</p></body></html>\r\n");
    static const std::string kUnavailable = gbk::fromUtf8(
        "<html><head><title>503 - "
        "服务暂不可用</title></head><body><h2>服务正在停止</h2></body></html>\r\n");
    static const std::string kMoved = gbk::fromUtf8(
        "<html><head><title>对象已移动</title></head><body><h1>对象已移动</h1>可以在"
        "<a href=\"/moved.htm\">此处</a>找到该对象。</body></html>\r\n");
    switch (status) {
        case 302:
            return kMoved;
        case 404:
            return kNotFound;
        case 500:
            return kServerError;
        default:
            return kUnavailable;
    }
}

// Serves `total` bytes: the page, then copies of a marker-free block.
void answerPadded(httplib::Response& res, std::string page, std::size_t total) {
    auto body = std::make_shared<const std::string>(std::move(page));
    auto pad = std::make_shared<std::string>();
    filler::padTo(*pad, kChunk, 0);
    total = std::max(total, body->size());
    res.set_content_provider(
        total, kGbkHtml,
        [body, pad](std::size_t offset, std::size_t length, httplib::DataSink& sink) {
            std::string chunk;
            std::size_t want = std::min(length, kChunk);
            while (chunk.size() < want) {
                std::size_t at = offset + chunk.size();
                if (at < body->size()) {
                    chunk.append(*body, at, std::min(want - chunk.size(), body->size() - at));
                } else {
                    std::size_t p = (at - body->size()) % pad->size();
                    chunk.append(*pad, p, std::min(want - chunk.size(), pad->size() - p));
                }
            }
            return sink.write(chunk.data(), chunk.size());
        });
}

void answerShared(httplib::Response& res, std::shared_ptr<const std::string> body) {
    std::size_t size = body->size();
    res.set_content_provider(
        size, kGbkHtml, [body](std::size_t offset, std::size_t length, httplib::DataSink& sink) {
            return sink.write(body->data() + offset, std::min(length, kChunk));
        });
}

}  // namespace

PageDamage damageOf(const Fault* fault) {
    if (fault == nullptr) return PageDamage::None;
    if (fault->kind == Fault::InvalidGbk) return PageDamage::InvalidGbk;
    if (fault->kind == Fault::TruncatedDoubleByte) return PageDamage::Truncated;
    return PageDamage::None;
}

void answerError(httplib::Response& res, int status) {
    res.status = status;
    res.set_content(errorPage(status), kGbkHtml);
}

void answer(httplib::Response& res, std::string page, const Fault* fault,
            const AnswerContext& ctx) {
    if (fault == nullptr) {
        res.set_content(std::move(page), kGbkHtml);
        return;
    }
    switch (fault->kind) {
        case Fault::Delay:
            if (!ctx.stop.waitFor(std::chrono::milliseconds(fault->delayMs)))
                return answerError(res, 503);
            res.set_content(std::move(page), kGbkHtml);
            return;
        case Fault::Hang:
            ctx.stop.waitUntilStopped();
            return answerError(res, 503);
        case Fault::Status500:
            return answerError(res, 500);
        case Fault::DropMidBody: {
            auto body = std::make_shared<const std::string>(std::move(page));
            res.set_content_provider(
                body->size(), kGbkHtml,
                [body](std::size_t offset, std::size_t, httplib::DataSink& sink) {
                    std::size_t half = body->size() / 2;
                    if (offset < half) sink.write(body->data() + offset, half - offset);
                    return false;  // the connection closes with the rest unsent
                });
            return;
        }
        case Fault::Redirect:
            res.set_header("Location", ctx.address + "/moved.htm");
            return answerError(res, 302);
        case Fault::Oversized:
            return answerPadded(res, std::move(page), ctx.options.oversizedBytes);
        case Fault::Garbage:
            res.set_content(filler::garbage(std::max<std::size_t>(page.size(), 4096), ctx.salt),
                            kGbkHtml);
            return;
        case Fault::HugeNoMarkers:
            return answerShared(res, ctx.hugePage());
        case Fault::Flaky: {
            std::string key = std::to_string(reinterpret_cast<std::uintptr_t>(fault)) + ":" +
                              std::to_string(ctx.salt);
            int n = ctx.answers ? ctx.answers->next(key) : fault->times;
            if (n < fault->times)
                return answerTransient(res, TransientKind::Mixed, n, -1, ctx.stop);
            res.set_content(std::move(page), kGbkHtml);
            return;
        }
        case Fault::TruncatedDoubleByte:
        case Fault::InvalidGbk:
            // The page was rendered damaged already.
            res.set_content(std::move(page), kGbkHtml);
            return;
    }
}

}  // namespace velmora::demo
