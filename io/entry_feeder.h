#pragma once
// Carries the entries an import reads to the main thread, where they go into
// the list through the same-name filter in file order. Two batches take
// turns: while the main thread appends one, the import fills the other, so
// reading and appending overlap. A helper thread carries each batch and waits
// in postAndWait; when the import runs on the main thread itself (the
// command-line program) each batch is appended at once.
#include <atomic>
#include <cstdint>
#include <functional>
#include <string>
#include <thread>

#include "app/engine/company_list.h"
#include "io/entry_batch.h"
#include "io/report_channel.h"

namespace velmora::io {

class EntryFeeder {
  public:
    EntryFeeder(CompanyList& list, ReportChannel& channel);
    ~EntryFeeder();  // waits for the batch in flight
    EntryFeeder(const EntryFeeder&) = delete;
    EntryFeeder& operator=(const EntryFeeder&) = delete;

    // The batch being filled.
    EntryBatch& batch() { return batches_[current_]; }

    // Hands the filled batch over and switches to the other one. Bytes of
    // the filled batch from `keepFrom` on (an entry still being read) move
    // to the start of the new batch; the return value is how far they moved.
    // `progress` is the number shown in the progress text, which appears at
    // most every 50 ms. False when the list or the window refused.
    bool send(const std::string& progressText, std::uint64_t progress, size_t keepFrom,
              size_t& shift);

    // Sends what is left and waits until everything is in the list. With
    // `showLast` the last progress text is shown whatever the throttle says.
    bool finish(const std::string& progressText, std::uint64_t progress, bool showLast);

    // True when the list refused an entry (it is full); the import stops.
    bool listRefused() const { return refused_.load(); }

  private:
    bool wait();
    bool dispatch(std::function<void()> task);
    std::function<void()> applyTask(EntryBatch& batch, const std::string& progressText,
                                    std::uint64_t progress, bool forceProgress);

    CompanyList& list_;
    ReportChannel& channel_;
    EntryBatch batches_[2];
    int current_ = 0;
    std::thread helper_;
    bool delivered_ = true;
    std::atomic<bool> refused_{false};
    ProgressThrottle throttle_;  // used on the main thread only
};

}  // namespace velmora::io
