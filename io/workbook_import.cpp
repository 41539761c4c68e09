// Spreadsheet import: rows of the first worksheet become list entries until
// the first row whose first cell is blank.
#include <fcntl.h>
#include <unistd.h>

#include <cstring>
#include <system_error>

#include "io/entry_batch.h"
#include "io/entry_feeder.h"
#include "io/report_channel.h"
#include "io/sheet_reader.h"
#include "io/workbook.h"
#include "platform/gbk.h"
#include "sources/framework/text_scan.h"

namespace velmora::io {
namespace {

const std::string& importFailedMessage() {
    static const std::string k =
        gbk::fromUtf8("初始化Excel失败，未安装Excel。请重试或导入TXT格式文件。");
    return k;
}

enum class FileKind { Package, Compound, Other };

FileKind kindOf(const std::string& path, std::string& error) {
    int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        error = path + ": " + std::generic_category().message(errno);
        return FileKind::Other;
    }
    unsigned char head[8] = {};
    ssize_t n = ::read(fd, head, sizeof head);
    ::close(fd);
    static const unsigned char kZip[4] = {'P', 'K', 3, 4};
    static const unsigned char kOle2[8] = {0xD0, 0xCF, 0x11, 0xE0, 0xA1, 0xB1, 0x1A, 0xE1};
    if (n >= 4 && std::memcmp(head, kZip, 4) == 0) return FileKind::Package;
    if (n == 8 && std::memcmp(head, kOle2, 8) == 0) return FileKind::Compound;
    error = "not a workbook";
    return FileKind::Other;
}

class RowImporter {
  public:
    RowImporter(CompanyList& list, ReportChannel& channel) : feeder_(list, channel) {}

    bool add(const SheetRow& row) {
        EntryBatch& batch = feeder_.batch();
        EntryBatch::Spans spans;
        std::string& bytes = batch.bytes();
        for (int c = 0; c < kColumns; ++c) {
            size_t from = bytes.size();
            if (!row.cells[c].empty()) bytes += gbk::fromUtf8(row.cells[c]);
            spans[c] = {from, bytes.size() - from};
        }
        batch.commit(spans);
        lastRow_ = row.number;
        if (batch.entries() < 4096 && bytes.size() < (8u << 20)) return true;
        size_t shift = 0;
        return feeder_.send(texts::importingProgress(), lastRow_, bytes.size(), shift);
    }

    // Appends what is left; the last row read is always shown.
    bool finish() { return feeder_.finish(texts::importingProgress(), lastRow_, true); }

  private:
    EntryFeeder feeder_;
    std::uint64_t lastRow_ = 0;
};

}  // namespace

std::unique_ptr<SheetReader> openFirstSheet(const std::string& path, const WorkbookLimits& limits,
                                            std::string& error) {
    switch (kindOf(path, error)) {
        case FileKind::Package:
            return openXlsxSheet(path, limits, error);
        case FileKind::Compound:
            return openXlsSheet(path, error);
        case FileKind::Other:
            break;
    }
    return nullptr;
}

bool importWorkbook(CompanyList& list, const std::string& path, IoReporter& report,
                    const WorkbookLimits& limits) {
    ReportChannel channel(report);
    channel.busy(true);

    std::string error;
    std::unique_ptr<SheetReader> sheet = openFirstSheet(path, limits, error);
    bool ok = sheet != nullptr;
    RowImporter rows(list, channel);
    if (ok) {
        SheetRow row;
        std::uint64_t expected = 1;
        for (;;) {
            if (!sheet->next(row)) {
                ok = sheet->error().empty();
                break;
            }
            // A row the file does not hold is blank: the data ends there.
            if (row.number > expected) break;
            if (row.number < expected) {
                ok = false;  // rows out of order: the sheet is damaged
                break;
            }
            if (text::trim(row.cells[0]).empty()) break;
            ++expected;
            if (!rows.add(row)) {
                ok = false;
                break;
            }
        }
    }
    // Rows read before a failure stay in the list.
    if (!rows.finish()) ok = false;
    if (!channel.open()) return false;
    if (!ok) {
        channel.message(texts::tipCaption(), importFailedMessage());
        channel.busy(false);
        return false;
    }
    channel.status(texts::importDone());
    channel.busy(false);
    channel.importCompleted();
    return true;
}

}  // namespace velmora::io
