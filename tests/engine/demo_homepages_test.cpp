#include <gtest/gtest.h>

#include "demo/demo_sites.h"
#include "demo/websearch/homepages.h"
#include "platform/gbk.h"
#include "platform/http_client.h"
#include "sources/framework/text_scan.h"
#include "sources/websearch/homepage_extractor.h"

namespace velmora {
namespace {

RecordSlot extracted(const std::string& page) {
    RecordSlot slot;
    extractHomepage(text::lowerAscii(page), "", slot);
    return slot;
}

void expectFields(const RecordSlot& got, const RecordSlot& want, int n) {
    for (int f = 0; f < kSlotFields; ++f)
        EXPECT_EQ(gbk::toUtf8(got.fields[f]), gbk::toUtf8(want.fields[f]))
            << "homepage " << n << ", field " << f;
}

TEST(DemoHomepages, EachGivesItsExpectedRecord) {
    const auto& pages = demo::demoHomepages();
    ASSERT_GE(pages.size(), 24u);
    for (size_t i = 0; i < pages.size(); ++i)
        expectFields(extracted(pages[i].page), pages[i].expected, static_cast<int>(i) + 1);
}

TEST(DemoHomepages, PaddingToAHundredKilobytesChangesNoField) {
    for (int n : {1, 7, 13, 19, 25}) {
        std::string padded = demo::paddedHomepage(n, 100 * 1024);
        EXPECT_GE(padded.size(), 95u * 1024);
        expectFields(extracted(padded), demo::demoHomepages()[n - 1].expected, n);
    }
}

TEST(DemoHomepages, ServedUnderTheirPaths) {
    demo::DemoSites sites;
    auto http = makeCurlHttpClient({});
    EXPECT_EQ(http->get(sites.address() + demo::homepagePath(3)), demo::demoHomepages()[2].page);
    EXPECT_THROW(http->get(sites.address() + "/home/0/index.htm"), std::exception);
    EXPECT_THROW(http->get(sites.address() + "/home/99/index.htm"), std::exception);
}

}  // namespace
}  // namespace velmora
