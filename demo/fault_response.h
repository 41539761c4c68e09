#pragma once
// How a site answers a request: the page as it is, or as a fault switch
// makes it go wrong.
#include <httplib.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "demo/demo_sites.h"
#include "demo/page_damage.h"
#include "demo/site_switches.h"
#include "demo/stop_signal.h"

namespace velmora::demo {

inline constexpr const char* kGbkHtml = "text/html; charset=gbk";

// The page damage a fault asks for (InvalidGbk, TruncatedDoubleByte); the
// other kinds damage the answer, not the page.
PageDamage damageOf(const Fault* fault);

struct AnswerContext {
    StopSignal& stop;
    const DemoOptions& options;
    std::string address;  // for the Location of a redirect
    std::function<std::shared_ptr<const std::string>()> hugePage;
    std::uint64_t salt = 0;  // varies the garbage bytes; tells a Flaky fault's pages apart
    AnswerCounter* answers = nullptr;  // Flaky: the answers given so far
};

// Writes the answer for `page` (GBK) as `fault` (nullptr: none) makes the
// site give it. Blocks for Delay and Hang (until the stop signal).
void answer(httplib::Response& res, std::string page, const Fault* fault, const AnswerContext& ctx);

// A plain error page with a status.
void answerError(httplib::Response& res, int status);

}  // namespace velmora::demo
