#pragma once
// Helpers shared by the import/export tests: a reporter that records what the
// window would be shown (and checks that it is called on the main thread),
// temporary folders and list builders.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <filesystem>
#include <functional>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "app/engine/company_list.h"
#include "io/io_reporter.h"
#include "platform/gbk.h"
#include "platform/queue_executor.h"
#include "support/test_support.h"

namespace velmora::iotest {

inline std::string G(std::string_view utf8) {
    return gbk::fromUtf8(utf8);
}

struct Recorder {
    QueueExecutor executor;  // constructed on the test's (main) thread
    std::vector<std::string> statuses;
    std::vector<bool> busy;
    std::vector<std::pair<std::string, std::string>> messages;
    int importCompletions = 0;
    bool calledOffMain = false;

    io::IoReporter reporter() {
        return io::IoReporter{
            executor,
            [this](const std::string& text) {
                check();
                statuses.push_back(text);
            },
            [this](bool shown) {
                check();
                busy.push_back(shown);
            },
            [this](const std::string& caption, const std::string& text) {
                check();
                messages.emplace_back(caption, text);
            },
            [this] {
                check();
                ++importCompletions;
            },
        };
    }
    void check() {
        if (!executor.onMainThread()) calledOffMain = true;
    }
    std::string lastStatus() const { return statuses.empty() ? std::string() : statuses.back(); }
};

// Runs `work` on a second thread while this (main) thread serves the queue,
// as the window does during an import or export.
template <typename R>
R onWorker(Recorder& rec, const std::function<R()>& work) {
    std::atomic<bool> done{false};
    R result{};
    std::thread worker([&] {
        result = work();
        done = true;
        // Wake the main thread if it waits for a task.
        rec.executor.post([] {});
    });
    rec.executor.runUntil([&] { return done.load(); });
    worker.join();
    rec.executor.drain();
    return result;
}

// A temporary folder that also lists its names (to see that no temporary
// file was left behind).
class TempDir : public testing::TempDir {
  public:
    std::vector<std::string> names() const {
        std::vector<std::string> out;
        for (const auto& e : std::filesystem::directory_iterator(path()))
            out.push_back(e.path().filename().string());
        std::sort(out.begin(), out.end());
        return out;
    }
};

using testing::readFile;
using testing::writeFile;

inline std::function<bool()> profileOn() {
    return [] { return true; };
}
inline std::function<bool()> profileOff() {
    return [] { return false; };
}

using Row = std::array<std::string, kColumns>;

inline void add(CompanyList& list, const Row& row) {
    EntryFields fields;
    for (int c = 0; c < kColumns; ++c) fields[c] = row[c];
    list.addEntry(fields);
}

inline Row rowOf(const CompanyList& list, size_t r) {
    Row row;
    for (int c = 0; c < kColumns; ++c) row[c] = std::string(list.field(r, c));
    return row;
}

// `got` holds the rows of `want` from `from` on, with or without the profile.
inline void expectSameRows(const CompanyList& got, const CompanyList& want, bool withProfile = true,
                           size_t from = 0) {
    ASSERT_EQ(got.size(), from + want.size());
    for (size_t r = 0; r < want.size(); ++r) {
        Row expected = rowOf(want, r);
        if (!withProfile) expected[10].clear();
        EXPECT_EQ(rowOf(got, from + r), expected) << "row " << from + r;
    }
}

// A realistic entry of GBK texts; `i` makes it unique.
inline Row sampleRow(size_t i) {
    std::string n = std::to_string(i);
    return Row{n,
               G("杭州") + n + G("号机械制造有限公司"),
               "0571-8888" + n,
               G("王先生"),
               G("李经理"),
               G("浙江省杭州市西湖区文三路") + n + G("号"),
               "310000",
               "info" + n + "@example.com",
               "http://www.example" + n + ".com",
               "0571-8889" + n,
               G("公司主营各类机械设备，质量可靠，欢迎来电洽谈。编号") + n};
}

}  // namespace velmora::iotest
