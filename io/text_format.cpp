#include "io/text_format.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <memory>
#include <system_error>

#include "io/atomic_file.h"
#include "io/entry_batch.h"
#include "io/entry_feeder.h"
#include "io/report_channel.h"
#include "platform/gbk.h"
#include "sources/framework/text_scan.h"

namespace velmora::io {
namespace {

// "·[": the middle dot is the GBK double-byte character A1 A4.
const std::string& markerOpen() {
    static const std::string k = gbk::fromUtf8("·[");
    return k;
}

const std::string& saveFailedMessage() {
    static const std::string k = gbk::fromUtf8("保存企业信息失败：");
    return k;
}

const std::string& importFailedMessage() {
    static const std::string k = gbk::fromUtf8("导入企业信息失败：");
    return k;
}

const std::string& lineTooLongMessage() {
    static const std::string k = gbk::fromUtf8("文件中有一行过长，不是企业信息文件。");
    return k;
}

const std::string& listRefusedMessage() {
    static const std::string k = gbk::fromUtf8("企业列表无法再容纳更多信息。");
    return k;
}

// The ID of a marker line: after the first "[" up to the first "]"; from
// the start of the line when there is no "["; empty when no "]" follows.
EntryBatch::Span idOf(std::string_view line, size_t lineOffset) {
    size_t open = line.find('[');
    size_t close = line.find(']');
    size_t from = open == std::string_view::npos ? 0 : open + 1;
    if (close == std::string_view::npos || close < from) return {lineOffset, 0};
    return {lineOffset + from, close - from};
}

class TextImporter {
  public:
    TextImporter(CompanyList& list, ReportChannel& channel, const TextImportLimits& limits)
        : channel_(channel), limits_(limits), feeder_(list, channel) {}

    // Returns false with error() set.
    bool run(int fd);
    const std::string& error() const { return error_; }

  private:
    static constexpr size_t kChunkBytes = 1u << 20;
    static constexpr size_t kBatchEntries = 4096;
    static constexpr size_t kBatchBytes = 8u << 20;

    bool consume(const char* p, const char* end);
    bool appendToLine(const char* from, const char* to);
    bool finishLine();
    bool flush(bool last);

    EntryBatch& batch() { return feeder_.batch(); }

    ReportChannel& channel_;
    const TextImportLimits& limits_;
    EntryFeeder feeder_;
    std::string error_;

    // The slot rule: slots 1..11 of the group being read live in the batch's
    // bytes from groupStart_ on; k_ is the next slot to fill.
    std::array<EntryBatch::Span, kColumns> slots_{};
    int k_ = 1;
    size_t groupStart_ = 0;
    size_t lineStart_ = 0;
    bool inLine_ = false;    // bytes of a physical line were seen
    bool skipping_ = false;  // after a lone CR: the rest up to LF is skipped
    size_t groupsRead_ = 0;
};

bool TextImporter::appendToLine(const char* from, const char* to) {
    size_t n = static_cast<size_t>(to - from);
    std::string& bytes = batch().bytes();
    if (bytes.size() - lineStart_ + n > limits_.maxLineBytes) {
        error_ = lineTooLongMessage();
        return false;
    }
    bytes.append(from, n);
    return true;
}

bool TextImporter::finishLine() {
    std::string& bytes = batch().bytes();
    size_t length = bytes.size() - lineStart_;
    std::string_view line(bytes.data() + lineStart_, length);
    inLine_ = false;
    skipping_ = false;

    if (line.find(markerOpen()) != std::string_view::npos) {
        // A marker line starts the group anew: the lines gathered so far go.
        if (lineStart_ != groupStart_) {
            std::memmove(bytes.data() + groupStart_, bytes.data() + lineStart_, length);
            bytes.resize(groupStart_ + length);
            lineStart_ = groupStart_;
        }
        k_ = 1;
    }
    slots_[k_ - 1] = {lineStart_, length};
    ++k_;
    if (k_ == 12) {
        k_ = 1;
        ++groupsRead_;
        const EntryBatch::Span& first = slots_[0];
        if (first.length > 0) {
            EntryBatch::Spans spans;
            spans[0] =
                idOf(std::string_view(bytes.data() + first.offset, first.length), first.offset);
            for (int c = 1; c < kColumns; ++c) spans[c] = slots_[c];
            batch().commit(spans);
            groupStart_ = bytes.size();
        } else {
            bytes.resize(groupStart_);
        }
        lineStart_ = groupStart_;
        if (batch().entries() >= kBatchEntries || groupStart_ >= kBatchBytes) return flush(false);
        return true;
    }
    lineStart_ = bytes.size();
    return true;
}

bool TextImporter::flush(bool last) {
    bool ok;
    if (last) {
        ok = feeder_.finish(texts::importingProgress(), groupsRead_, false);
    } else {
        size_t shift = 0;
        ok = feeder_.send(texts::importingProgress(), groupsRead_, groupStart_, shift);
        groupStart_ -= shift;
        lineStart_ -= shift;
        for (auto& s : slots_) s.offset = s.offset >= shift ? s.offset - shift : 0;
    }
    if (!ok && feeder_.listRefused()) error_ = listRefusedMessage();
    return ok;
}

bool TextImporter::consume(const char* p, const char* end) {
    while (p < end) {
        if (skipping_) {
            const void* nl = std::memchr(p, '\n', static_cast<size_t>(end - p));
            if (nl == nullptr) return true;
            p = static_cast<const char*>(nl) + 1;
            if (!finishLine()) return false;
            continue;
        }
        inLine_ = true;
        const char* nl =
            static_cast<const char*>(std::memchr(p, '\n', static_cast<size_t>(end - p)));
        const char* stop = nl != nullptr ? nl : end;
        const char* cr =
            static_cast<const char*>(std::memchr(p, '\r', static_cast<size_t>(stop - p)));
        if (!appendToLine(p, cr != nullptr ? cr : stop)) return false;
        if (cr != nullptr) {
            skipping_ = true;
            p = cr + 1;
            continue;
        }
        if (nl == nullptr) return true;
        p = nl + 1;
        if (!finishLine()) return false;
    }
    return true;
}

bool TextImporter::run(int fd) {
    (void)::posix_fadvise(fd, 0, 0, POSIX_FADV_SEQUENTIAL);
    std::unique_ptr<char[]> chunk(new char[kChunkBytes]);
    bool ok = true;
    for (;;) {
        ssize_t n = ::read(fd, chunk.get(), kChunkBytes);
        if (n < 0) {
            if (errno == EINTR) continue;
            error_ = gbk::fromUtf8(std::generic_category().message(errno));
            ok = false;
            break;
        }
        if (n == 0) break;
        if (!consume(chunk.get(), chunk.get() + n)) {
            ok = false;
            break;
        }
    }
    // A last line without a line end is read as well.
    if (ok && (inLine_ || skipping_)) ok = finishLine();
    // Entries read completely before a failure still go into the list.
    std::string reason = error_;
    bool flushed = flush(true);
    if (!reason.empty()) error_ = reason;
    return ok && flushed;
}

}  // namespace

bool exportText(const CompanyList& list, const std::string& path,
                const std::function<bool()>& withProfile, IoReporter& report) {
    static const std::string kLineEnd = "\r\n";
    ReportChannel channel(report);
    channel.busy(true);

    AtomicFile file(path);
    bool ok = file.open();
    const size_t n = list.size();
    ProgressThrottle throttle;
    throttle.due();  // the window already says that saving has begun
    for (size_t row = 0; ok && row < n; ++row) {
        bool profile = withProfile && withProfile();
        file.append(markerOpen());
        file.append(list.field(row, Column::Id));
        file.append(']');
        file.append(kLineEnd);
        for (int c = static_cast<int>(Column::Name); c < static_cast<int>(Column::Profile); ++c) {
            file.append(list.field(row, c));
            file.append(kLineEnd);
        }
        if (profile) file.append(list.field(row, Column::Profile));
        file.append("\r\n\r\n");
        ok = file.ok();
        if (ok && throttle.due())
            ok = channel.status(texts::savingProgress() + text::decimal(row + 1));
    }
    if (ok) ok = file.commit();
    if (!channel.open()) return false;
    if (!ok) {
        std::string reason = file.error();
        file.discard();
        channel.status(texts::saveFailed());
        channel.busy(false);
        channel.message(texts::tipCaption(), saveFailedMessage() + gbk::fromUtf8(reason));
        return false;
    }
    channel.status(texts::saveDone());
    channel.busy(false);
    return true;
}

bool importText(CompanyList& list, const std::string& path, IoReporter& report,
                const TextImportLimits& limits) {
    ReportChannel channel(report);
    channel.busy(true);

    std::string reason;
    bool ok = false;
    int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        reason = gbk::fromUtf8(path + ": " + std::generic_category().message(errno));
    } else {
        TextImporter importer(list, channel, limits);
        ok = importer.run(fd);
        reason = importer.error();
        ::close(fd);
    }
    if (!channel.open()) return false;
    if (!ok) {
        channel.status(texts::importFailed());
        channel.busy(false);
        channel.message(texts::tipCaption(), importFailedMessage() + reason);
        return false;
    }
    channel.status(texts::importDone());
    channel.busy(false);
    channel.importCompleted();
    return true;
}

}  // namespace velmora::io
