#include "support/demo_harvest.h"

#include <gtest/gtest.h>

#include "platform/gbk.h"
#include "sources/registry.h"

namespace velmora::testing {

bool DemoHarvest::run(const std::string& keywordBox, const std::string& provinceBox,
                      const std::vector<int>& sources, bool research,
                      std::chrono::milliseconds limit) {
    SiteConfig config = sites.siteConfig();
    control = std::make_unique<RunControl>(executor, list, config, makeSources(config));
    control->setResearch(research);
    if (!control->searchStart(keywordBox, provinceBox, sources)) return false;
    return executor.runUntil([this] { return !control->searching(); }, limit);
}

RecordSlot DemoHarvest::record(size_t row) const {
    return recordOf(list, row);
}

RecordSlot recordOf(const CompanyList& list, size_t row) {
    RecordSlot r;
    for (int i = 0; i < kSlotFields; ++i) r.fields[i] = std::string(list.field(row, i + 1));
    return r;
}

std::string describe(const RecordSlot& record) {
    std::string s;
    for (const auto& f : record.fields) s += gbk::toUtf8(f) + " | ";
    return s;
}

void expectSameRecords(const CompanyList& list, const std::vector<RecordSlot>& expected) {
    ASSERT_EQ(list.size(), expected.size());
    for (size_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(list.field(i, Column::Id), std::to_string(i + 1));
        EXPECT_EQ(recordOf(list, i), expected[i])
            << "row " << i + 1 << "\n got: " << describe(recordOf(list, i))
            << "\nwant: " << describe(expected[i]);
    }
}

}  // namespace velmora::testing
