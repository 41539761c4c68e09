#pragma once
// A fetched page through the page check and a parser as a worker step runs
// them, with what the page check promises on every source: the parser reads
// the page lower-cased, only a page that says nothing was found is turned
// away (and only by a source that applies the test), and a page turned away
// leaves the work form as it was.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "fuzz/fuzz_support.h"
#include "fuzz/reference_scan.h"
#include "platform/gbk.h"
#include "sources/framework/paging.h"
#include "sources/framework/source.h"
#include "sources/framework/worker_step.h"

namespace velmora::fuzz {

// The page as fetched and as the literal lower-casing reads it; the targets'
// own references read `lowered`.
struct FetchedPage {
    explicit FetchedPage(std::string_view fetched)
        : bytes(fetched), lowered(ref::lowerAscii(fetched)) {}

    std::string_view bytes;
    std::string lowered;
};

// One of the three Chinese not-found texts anywhere in the lowered page, at
// any byte offset.
inline bool referenceNotFound(std::string_view lowered) {
    static const std::string kTexts[] = {gbk::fromUtf8("无法找到"), gbk::fromUtf8("未找到"),
                                         gbk::fromUtf8("找不到")};
    for (const auto& t : kTexts)
        if (lowered.find(t) != std::string_view::npos) return true;
    return false;
}

// The next-page link of a result page, as the listing pagers look for it.
inline bool referenceNextPageLink(std::string_view lowered) {
    static const std::string kNext = gbk::fromUtf8(">下一页<");
    return lowered.find(kNext) != std::string_view::npos;
}

// ">" + the page number behind the known pages + "<", the paging number probe.
inline std::string pageNumberProbe(std::int32_t known) {
    return ">" + std::to_string(static_cast<long long>(known) + 1) + "<";
}

// Hands the page to the step's page check and parser in a string no larger
// than it needs; true when the page was parsed.
inline bool runPageStep(const Source& source, WorkForm& form, const WorkKey& key,
                        const FetchedPage& fetched, IntakeContext& intake = discardingIntake()) {
    // Only a source with the not-found test can turn a page away.
    std::optional<WorkForm> before;
    if (source.appliesNotFoundTest()) before = form;
    std::string page = tightString(fetched.bytes);
    const bool parsed = parseFetchedPage(source, form, key, page, intake);

    FUZZ_CHECK(page == fetched.lowered);
    const bool notFound = referenceNotFound(fetched.lowered);
    FUZZ_CHECK(isNotFoundPage(fetched.lowered) == notFound);
    FUZZ_CHECK(parsed == !(source.appliesNotFoundTest() && notFound));
    if (!parsed) FUZZ_CHECK(sameForm(form, *before));
    return parsed;
}

}  // namespace velmora::fuzz
