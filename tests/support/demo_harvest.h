#pragma once
// A whole harvest against the bundled demo sites on loopback, served on the
// test's own thread as the main thread, and the exact comparison of the list
// with the records a correct harvester yields.
#include <chrono>
#include <memory>
#include <string>
#include <vector>

#include "app/engine/company_list.h"
#include "app/engine/run_control.h"
#include "demo/demo_sites.h"
#include "platform/queue_executor.h"

namespace velmora::testing {

struct DemoHarvest {
    explicit DemoHarvest(demo::DemoOptions options = {}) : sites(std::move(options)) {}

    // Runs the search start for `sources` and serves the main thread until
    // the run ends; false when it did not start or did not end in time.
    bool run(const std::string& keywordBox, const std::string& provinceBox,
             const std::vector<int>& sources, bool research = true,
             std::chrono::milliseconds limit = std::chrono::seconds(60));

    RecordSlot record(size_t row) const;

    demo::DemoSites sites;
    QueueExecutor executor;
    CompanyList list;
    std::unique_ptr<RunControl> control;
};

// The ten fields as one readable UTF-8 line.
std::string describe(const RecordSlot& record);

// The ten fields of a list row.
RecordSlot recordOf(const CompanyList& list, size_t row);

// The list holds exactly `expected`, in order, with IDs 1..n.
void expectSameRecords(const CompanyList& list, const std::vector<RecordSlot>& expected);
inline void expectSameRecords(const DemoHarvest& harvest, const std::vector<RecordSlot>& expected) {
    expectSameRecords(harvest.list, expected);
}

}  // namespace velmora::testing
