#pragma once
// What the import targets share: their input (the options byte and the file)
// and a record of what an import reports to the window, with the report a
// completed and a failed import must give.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "fuzz/fuzz_support.h"
#include "io/io_reporter.h"
#include "platform/gbk.h"
#include "platform/queue_executor.h"

namespace velmora::fuzz {

// 1 byte options (bit 0: same-name filter on), then the file.
struct ImportInput {
    bool sameNameFilter;
    std::string_view file;
};

inline ImportInput readImportInput(const std::uint8_t* data, size_t size) {
    Input in(data, size);
    const bool filter = (in.byte() & 1) != 0;
    return {filter, in.rest()};
}

// What an import reports to the window, recorded.
class ImportReports {
  public:
    ImportReports() = default;
    // The reporter's functions record into this object.
    ImportReports(const ImportReports&) = delete;
    ImportReports& operator=(const ImportReports&) = delete;

    // No message box, one completion, and the closing status text last.
    void checkCompleted() const {
        FUZZ_CHECK(messages == 0 && completions == 1);
        FUZZ_CHECK(!statuses.empty() && statuses.back() == closingText());
    }

    // One message box, no completion, and never the closing status text last.
    void checkFailed() const {
        FUZZ_CHECK(messages == 1 && completions == 0);
        FUZZ_CHECK(statuses.empty() || statuses.back() != closingText());
    }

    std::vector<std::string> statuses;
    std::vector<bool> busy;
    int messages = 0;
    int completions = 0;
    // What to hand to the import.
    io::IoReporter reporter{
        mainThread(),
        [this](const std::string& text) { statuses.push_back(text); },
        [this](bool shown) { busy.push_back(shown); },
        [this](const std::string&, const std::string&) { ++messages; },
        [this] { ++completions; },
    };

  private:
    // Reports run inline: the fuzzing thread is the main thread.
    static Executor& mainThread() {
        static QueueExecutor executor;
        return executor;
    }
    static const std::string& closingText() {
        static const std::string kDone = gbk::fromUtf8("导入企业信息完成");
        return kDone;
    }
};

}  // namespace velmora::fuzz
