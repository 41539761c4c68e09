// Spreadsheet export with libxlsxwriter: every cell a text cell, so IDs,
// postcodes and phone numbers keep their exact text.
#include <minizip/unzip.h>
#include <xlsxwriter.h>

#include <cstdio>
#include <cstring>
#include <memory>

#include "io/atomic_file.h"
#include "io/report_channel.h"
#include "io/workbook.h"
#include "platform/gbk.h"
#include "sources/framework/text_scan.h"

namespace velmora::io {
namespace {

constexpr size_t kMaxSheetRows = 1048576;  // rows of one worksheet

const std::string& saveFailedMessage() {
    static const std::string k =
        gbk::fromUtf8("初始化Excel失败，未安装Excel。请重试或保存为TXT格式。");
    return k;
}

const std::string& saveCancelled() {
    static const std::string k = gbk::fromUtf8("已经取消保存");
    return k;
}

bool isHex(char c) {
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

// The cell text as UTF-8. libxlsxwriter writes control characters as
// "_xHHHH_"; a literal "_xHHHH_" in the text is written as "_x005F_xHHHH_"
// so that readers do not decode it, and a NUL byte (which a C string cannot
// carry) as "_x0000_".
void cellText(std::string_view gbkText, std::string& out) {
    out = gbk::toUtf8(gbkText);
    if (out.find_first_of(std::string_view("_\0", 2)) == std::string::npos) return;
    std::string utf8;
    utf8.swap(out);
    for (size_t i = 0; i < utf8.size(); ++i) {
        char c = utf8[i];
        if (c == '\0') {
            out += "_x0000_";
        } else if (c == '_' && i + 6 < utf8.size() && utf8[i + 1] == 'x' && isHex(utf8[i + 2]) &&
                   isHex(utf8[i + 3]) && isHex(utf8[i + 4]) && isHex(utf8[i + 5]) &&
                   utf8[i + 6] == '_') {
            out += "_x005F_";
        } else {
            out.push_back(c);
        }
    }
}

// ZIP64 only when the sheet may pass the 4 GB of a plain ZIP entry: some
// spreadsheet programs read ZIP64 packages less willingly.
bool needsZip64(const CompanyList& list, size_t rows, bool withProfileAnywhere) {
    std::uint64_t estimate = 0;
    int columns = withProfileAnywhere ? kColumns : kColumns - 1;
    for (size_t r = 0; r < rows; ++r) {
        estimate += 32;
        for (int c = 0; c < columns; ++c) estimate += list.field(r, c).size() * 3 / 2 + 48;
    }
    return estimate > (std::uint64_t{3} << 30);
}

// libxlsxwriter copies its temporary files into the package without checking
// the reads and writes, so a full disk could give a truncated sheet inside a
// package it reports as written. Reading the package back (every part
// inflated, CRCs checked, the sheet's rows counted and its end present)
// makes sure that what is called saved is whole.
bool packageIsWhole(const std::string& path, std::uint64_t rows) {
    unzFile zip = unzOpen64(path.c_str());
    if (zip == nullptr) return false;
    std::unique_ptr<void, int (*)(unzFile)> closer(zip, &unzClose);
    static const char kRowEnd[] = "</row>";
    static const char kSheetEnd[] = "</worksheet>";
    constexpr size_t kRowEndLength = sizeof kRowEnd - 1;
    constexpr size_t kSheetEndLength = sizeof kSheetEnd - 1;
    std::unique_ptr<char[]> buffer(new char[(64u << 10) + 16]);
    bool sawSheet = false;
    for (int rc = unzGoToFirstFile(zip); rc == UNZ_OK; rc = unzGoToNextFile(zip)) {
        char name[256];
        if (unzGetCurrentFileInfo64(zip, nullptr, name, sizeof name, nullptr, 0, nullptr, 0) !=
            UNZ_OK)
            return false;
        bool isSheet = std::strcmp(name, "xl/worksheets/sheet1.xml") == 0;
        if (unzOpenCurrentFile(zip) != UNZ_OK) return false;
        std::uint64_t found = 0;
        size_t carry = 0;  // bytes kept from the previous piece (a split tag)
        for (;;) {
            int n = unzReadCurrentFile(zip, buffer.get() + carry, 64u << 10);
            if (n < 0) {
                unzCloseCurrentFile(zip);
                return false;
            }
            if (n == 0) break;
            if (!isSheet) continue;
            size_t length = carry + static_cast<size_t>(n);
            // A "</row>" wholly inside the kept bytes was counted before.
            const char* end = buffer.get() + length;
            for (const char* at = buffer.get();;) {
                auto hit = static_cast<const char*>(
                    ::memmem(at, static_cast<size_t>(end - at), kRowEnd, kRowEndLength));
                if (hit == nullptr) break;
                if (static_cast<size_t>(hit - buffer.get()) + kRowEndLength > carry) ++found;
                at = hit + kRowEndLength;
            }
            carry = std::min(length, kSheetEndLength);
            std::memmove(buffer.get(), buffer.get() + length - carry, carry);
        }
        if (unzCloseCurrentFile(zip) != UNZ_OK) return false;  // CRC mismatch
        if (isSheet) {
            sawSheet = true;
            if (found != rows) return false;
            if (std::string_view(buffer.get(), carry) != kSheetEnd) return false;
        }
    }
    return sawSheet;
}

}  // namespace

WorkbookSave exportWorkbook(const CompanyList& list, const std::string& path,
                            const std::function<bool()>& withProfile, IoReporter& report) {
    ReportChannel channel(report);
    channel.busy(true);

    // The failure path: nothing is saved, the status keeps its last progress
    // text, the previous file stays as it was.
    auto failed = [&] {
        channel.message(texts::tipCaption(), saveFailedMessage());
        channel.busy(false);
        return WorkbookSave::Failed;
    };

    const size_t n = list.size();
    if (n > kMaxSheetRows) return failed();
    AtomicFile file(path);
    if (!file.open()) return failed();
    file.closeForOtherWriter();

    constexpr size_t kSpillBufferBytes = 1u << 20;
    std::unique_ptr<char[]> spillBuffer(new char[kSpillBufferBytes]);
    lxw_workbook_options options{};
    options.constant_memory = LXW_TRUE;  // rows go to disk as written, in row order
    options.use_zip64 = needsZip64(list, n, true) ? LXW_TRUE : LXW_FALSE;
    lxw_workbook* workbook = workbook_new_opt(file.tempPath().c_str(), &options);
    if (workbook == nullptr) return failed();
    lxw_worksheet* sheet = workbook_add_worksheet(workbook, nullptr);
    if (sheet == nullptr) {
        lxw_workbook_free(workbook);
        return failed();
    }
    // Rows spill to this file through stdio's small default buffer, one
    // system call per 4 KB; nothing has been written to it yet. The buffer
    // must outlive the stream, which the workbook closes.
    if (sheet->optimize_tmpfile != nullptr)
        std::setvbuf(sheet->optimize_tmpfile, spillBuffer.get(), _IOFBF, kSpillBufferBytes);

    ProgressThrottle throttle;
    std::uint64_t rowsWritten = 0;  // rows with at least one cell
    size_t shown = 0;
    size_t completed = 0;
    std::string cell;
    bool filled = true;
    auto showProgress = [&](size_t rows) {
        shown = rows;
        return channel.status(texts::savingProgress() +
                              text::decimal(static_cast<std::int64_t>(rows)));
    };
    for (size_t r = 0; r < n && filled; ++r) {
        int columns = withProfile && withProfile() ? kColumns : kColumns - 1;
        bool rowHasCell = false;
        for (int c = 0; c < columns; ++c) {
            std::string_view field = list.field(r, c);
            if (field.empty()) continue;  // a blank cell
            rowHasCell = true;
            cellText(field, cell);
            lxw_error rc = worksheet_write_string(sheet, static_cast<lxw_row_t>(r),
                                                  static_cast<lxw_col_t>(c), cell.c_str(), nullptr);
            if (rc != LXW_NO_ERROR) {
                filled = false;
                break;
            }
        }
        if (!filled) break;
        if (rowHasCell) ++rowsWritten;
        completed = r + 1;
        if ((throttle.due() || completed == n) && !showProgress(completed)) filled = false;
    }
    // Rows spill to a temporary file as they are written; a failed write
    // there is a failure to fill the cells.
    if (filled && sheet->optimize_tmpfile != nullptr &&
        (std::fflush(sheet->optimize_tmpfile) != 0 || std::ferror(sheet->optimize_tmpfile) != 0))
        filled = false;
    if (!filled) {
        // Freeing a workbook leaves the spill file open (closing does not).
        if (sheet->optimize_tmpfile != nullptr) {
            std::fclose(sheet->optimize_tmpfile);
            sheet->optimize_tmpfile = nullptr;
            sheet->file = nullptr;
        }
        lxw_workbook_free(workbook);
        file.discard();
        if (!channel.open()) return WorkbookSave::Failed;
        // The status shows the last row that was filled.
        if (completed > 0 && shown != completed) showProgress(completed);
        return failed();
    }

    // Saving: the workbook goes to the temporary file, which then replaces
    // the target. If that fails the save is cancelled and the old file stays.
    bool closed = workbook_close(workbook) == LXW_NO_ERROR;
    // A failed close may leave the spill file open with our buffer in it;
    // the buffer then stays alive (1 MB) rather than dangle.
    if (!closed) (void)spillBuffer.release();
    bool saved = closed && packageIsWhole(file.tempPath(), rowsWritten) && file.commit();
    if (!saved) {
        file.discard();
        channel.status(saveCancelled());
        channel.busy(false);
        return WorkbookSave::Cancelled;
    }
    channel.status(texts::saveDone());
    channel.busy(false);
    return WorkbookSave::Saved;
}

}  // namespace velmora::io
