#include "io/entry_feeder.h"

#include <system_error>

#include "sources/framework/text_scan.h"

namespace velmora::io {

EntryFeeder::EntryFeeder(CompanyList& list, ReportChannel& channel)
    : list_(list), channel_(channel) {}

EntryFeeder::~EntryFeeder() {
    wait();
}

bool EntryFeeder::wait() {
    if (helper_.joinable()) helper_.join();
    return delivered_ && channel_.open();
}

bool EntryFeeder::dispatch(std::function<void()> task) {
    if (!wait()) return false;
    // On the main thread a helper would wait for a queue nobody serves.
    if (channel_.reporter().main.onMainThread()) return channel_.onMain(task);
    try {
        helper_ = std::thread([this, task] { delivered_ = channel_.onMain(task); });
    } catch (const std::system_error&) {
        return channel_.onMain(task);
    }
    return true;
}

std::function<void()> EntryFeeder::applyTask(EntryBatch& batch, const std::string& progressText,
                                             std::uint64_t progress, bool forceProgress) {
    return [this, &batch, progressText, progress, forceProgress] {
        size_t added = 0;
        std::string why;
        if (!batch.applyTo(list_, added, why)) refused_ = true;
        IoReporter& reporter = channel_.reporter();
        bool due = throttle_.due();
        if (reporter.setStatus && progress > 0 && (due || forceProgress))
            reporter.setStatus(progressText + text::decimal(static_cast<std::int64_t>(progress)));
    };
}

bool EntryFeeder::send(const std::string& progressText, std::uint64_t progress, size_t keepFrom,
                       size_t& shift) {
    EntryBatch& full = batches_[current_];
    shift = 0;
    if (!dispatch(applyTask(full, progressText, progress, false))) return false;
    // The other batch's turn on the main thread ended before this one began.
    EntryBatch& next = batches_[current_ ^ 1];
    next.reset(next.bytes().size());
    if (keepFrom < full.bytes().size()) {
        next.bytes().append(full.bytes(), keepFrom, std::string::npos);
        shift = keepFrom;
    } else {
        shift = full.bytes().size();
    }
    current_ ^= 1;
    return !refused_.load();
}

bool EntryFeeder::finish(const std::string& progressText, std::uint64_t progress, bool showLast) {
    bool ok = true;
    if (batch().entries() > 0 || (showLast && progress > 0))
        ok = dispatch(applyTask(batch(), progressText, progress, showLast));
    ok = wait() && ok;
    return ok && !refused_.load();
}

}  // namespace velmora::io
