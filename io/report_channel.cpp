#include "io/report_channel.h"

#include "platform/gbk.h"

namespace velmora::io {

bool ReportChannel::onMain(const std::function<void()>& task) {
    if (!open_) return false;
    if (!reporter_.main.postAndWait(task)) open_ = false;
    return open_;
}

bool ReportChannel::status(const std::string& text) {
    if (!reporter_.setStatus) return open_;
    return onMain([&] { reporter_.setStatus(text); });
}

bool ReportChannel::busy(bool shown) {
    if (!reporter_.setBusy) return open_;
    return onMain([&] { reporter_.setBusy(shown); });
}

bool ReportChannel::message(const std::string& caption, const std::string& text) {
    if (!reporter_.message) return open_;
    return onMain([&] { reporter_.message(caption, text); });
}

bool ReportChannel::importCompleted() {
    if (!reporter_.importCompleted) return open_;
    return onMain([&] { reporter_.importCompleted(); });
}

bool ProgressThrottle::due() {
    auto now = std::chrono::steady_clock::now();
    if (started_ && now - last_ < interval_) return false;
    started_ = true;
    last_ = now;
    return true;
}

namespace texts {

const std::string& tipCaption() {
    static const std::string k = gbk::fromUtf8("提示");
    return k;
}
const std::string& savingProgress() {
    static const std::string k = gbk::fromUtf8("正在保存企业信息... ");
    return k;
}
const std::string& importingProgress() {
    static const std::string k = gbk::fromUtf8("正在导入企业信息... ");
    return k;
}
const std::string& saveDone() {
    static const std::string k = gbk::fromUtf8("保存企业信息完成");
    return k;
}
const std::string& importDone() {
    static const std::string k = gbk::fromUtf8("导入企业信息完成");
    return k;
}
const std::string& saveFailed() {
    static const std::string k = gbk::fromUtf8("保存企业信息失败");
    return k;
}
const std::string& importFailed() {
    static const std::string k = gbk::fromUtf8("导入企业信息失败");
    return k;
}

}  // namespace texts
}  // namespace velmora::io
