#include "demo/fault.h"

#include "demo/switch_text.h"

namespace velmora::demo {
namespace {

struct StepName {
    const char* text;
    Fault::Step step;
};
constexpr StepName kSteps[] = {{"listing", Fault::Listing},
                               {"detail", Fault::Detail},
                               {"search", Fault::Search},
                               {"hit", Fault::Hit}};

struct KindName {
    const char* text;
    Fault::Kind kind;
};
constexpr KindName kKinds[] = {
    {"delay", Fault::Delay},
    {"hang", Fault::Hang},
    {"500", Fault::Status500},
    {"drop", Fault::DropMidBody},
    {"redirect", Fault::Redirect},
    {"oversized", Fault::Oversized},
    {"garbage", Fault::Garbage},
    {"truncated", Fault::TruncatedDoubleByte},
    {"invalid-gbk", Fault::InvalidGbk},
    {"huge", Fault::HugeNoMarkers},
    {"flaky", Fault::Flaky},
};

}  // namespace

bool parseFault(std::string_view text, Fault& fault, std::string& error) {
    std::vector<std::string_view> parts = splitColons(text);
    if (parts.size() < 4 || parts.size() > 5) {
        error = "expected SOURCE:STEP:WHICH:KIND[:MS], got \"" + std::string(text) + "\"";
        return false;
    }
    Fault f;
    if (!parseWholeInt(parts[0], f.source) || f.source < 0 || f.source > 7) {
        error = "source must be 1 to 7, or 0 (web search), got \"" + std::string(parts[0]) + "\"";
        return false;
    }
    bool stepFound = false;
    for (const auto& s : kSteps)
        if (parts[1] == s.text) f.step = s.step, stepFound = true;
    if (!stepFound) {
        error =
            "step must be listing, detail, search or hit, got \"" + std::string(parts[1]) + "\"";
        return false;
    }
    bool webStep = f.step == Fault::Search || f.step == Fault::Hit;
    if (f.source == 5 && f.step == Fault::Detail) {
        error = "source 5 has no detail pages";
        return false;
    }
    if (webStep != (f.source == 0)) {
        error = "steps search and hit belong to source 0, listing and detail to the other sources";
        return false;
    }
    if (parts[2] == "*" || parts[2] == "all") {
        f.which = -1;
    } else if (!parseWholeInt(parts[2], f.which) || f.which < 1) {
        error = "which must be a number from 1, \"*\" or \"all\", got \"" + std::string(parts[2]) +
                "\"";
        return false;
    }
    bool kindFound = false;
    for (const auto& k : kKinds)
        if (parts[3] == k.text) f.kind = k.kind, kindFound = true;
    if (!kindFound) {
        error = "unknown fault kind \"" + std::string(parts[3]) +
                "\" (delay, hang, 500, drop, redirect, oversized, garbage, truncated, "
                "invalid-gbk, huge, flaky)";
        return false;
    }
    if (f.kind == Fault::Delay) {
        if (parts.size() != 5 || !parseWholeInt(parts[4], f.delayMs) || f.delayMs < 0) {
            error = "a delay needs its milliseconds: SOURCE:STEP:WHICH:delay:MS";
            return false;
        }
    } else if (f.kind == Fault::Flaky) {
        if (parts.size() != 5 || !parseWholeInt(parts[4], f.times) || f.times < 0) {
            error = "flaky needs the number of answers that fail: SOURCE:STEP:WHICH:flaky:N";
            return false;
        }
    } else if (parts.size() == 5) {
        error = "only a delay and flaky take a number";
        return false;
    }
    fault = f;
    return true;
}

std::string formatFault(const Fault& fault) {
    std::string out = std::to_string(fault.source) + ":";
    for (const auto& s : kSteps)
        if (s.step == fault.step) out += s.text;
    out += ":" + (fault.which < 0 ? std::string("*") : std::to_string(fault.which)) + ":";
    for (const auto& k : kKinds)
        if (k.kind == fault.kind) out += k.text;
    if (fault.kind == Fault::Delay) out += ":" + std::to_string(fault.delayMs);
    if (fault.kind == Fault::Flaky) out += ":" + std::to_string(fault.times);
    return out;
}

const Fault* findFault(const std::vector<Fault>& faults, int source, Fault::Step step, int which) {
    for (const Fault& f : faults)
        if (f.source == source && f.step == step && (f.which < 0 || f.which == which)) return &f;
    return nullptr;
}

}  // namespace velmora::demo
