// The first worksheet of a legacy .xls workbook (BIFF in an OLE2 compound
// file), read with freexl. freexl hands out texts as UTF-8 and keeps the
// whole sheet in memory, which the format itself bounds (65536 x 256 cells).
// This runs only inside the velmora-xls-dump helper process: freexl corrupts
// memory on some damaged files, and a crash there must not take the program.
#include <freexl.h>

#include "io/number_text.h"
#include "io/sheet_reader.h"

namespace velmora::io {
namespace {

std::string freexlError(int code) {
    return "legacy workbook unreadable (freexl " + std::to_string(code) + ")";
}

class XlsSheet : public SheetReader {
  public:
    ~XlsSheet() override {
        if (handle_ != nullptr) freexl_close(handle_);
    }

    bool open(const std::string& path, std::string& error) {
        int rc = freexl_open(path.c_str(), &handle_);
        if (rc == FREEXL_OK && handle_ == nullptr)
            rc = FREEXL_INVALID_HANDLE;  // seen with odd files
        if (rc != FREEXL_OK) {
            error = freexlError(rc);
            return false;
        }
        unsigned info = 0;
        if (freexl_get_info(handle_, FREEXL_BIFF_PASSWORD, &info) == FREEXL_OK &&
            info == FREEXL_BIFF_OBFUSCATED) {
            error = "the workbook is password-protected";
            return false;
        }
        unsigned sheets = 0;
        rc = freexl_get_info(handle_, FREEXL_BIFF_SHEET_COUNT, &sheets);
        if (rc != FREEXL_OK || sheets == 0) {
            error = "the workbook has no worksheet";
            return false;
        }
        rc = freexl_select_active_worksheet(handle_, 0);
        if (rc == FREEXL_OK) rc = freexl_worksheet_dimensions(handle_, &rows_, &columns_);
        if (rc != FREEXL_OK) {
            error = freexlError(rc);
            return false;
        }
        return true;
    }

    bool next(SheetRow& row) override {
        if (next_ >= rows_) return false;
        row.number = next_ + 1;
        unsigned short used =
            columns_ < kColumns ? columns_ : static_cast<unsigned short>(kColumns);
        for (unsigned short c = 0; c < kColumns; ++c) {
            row.cells[c].clear();
            if (c >= used) continue;
            FreeXL_CellValue value;
            int rc = freexl_get_cell_value(handle_, next_, c, &value);
            if (rc != FREEXL_OK) {
                error_ = freexlError(rc);
                return false;
            }
            row.cells[c] = textOf(value);
        }
        ++next_;
        return true;
    }

    const std::string& error() const override { return error_; }

  private:
    static std::string textOf(const FreeXL_CellValue& value) {
        switch (value.type) {
            case FREEXL_CELL_INT:
                return std::to_string(value.value.int_value);
            case FREEXL_CELL_DOUBLE:
                return numberText(value.value.double_value);
            case FREEXL_CELL_TEXT:
            case FREEXL_CELL_SST_TEXT:
            case FREEXL_CELL_DATE:
            case FREEXL_CELL_DATETIME:
            case FREEXL_CELL_TIME:
                return value.value.text_value != nullptr ? value.value.text_value : "";
            default:
                return std::string();
        }
    }

    const void* handle_ = nullptr;
    unsigned rows_ = 0;
    unsigned short columns_ = 0;
    unsigned next_ = 0;
    std::string error_;
};

}  // namespace

std::unique_ptr<SheetReader> openFreexlSheet(const std::string& path, std::string& error) {
    auto sheet = std::make_unique<XlsSheet>();
    if (!sheet->open(path, error)) return nullptr;
    return sheet;
}

}  // namespace velmora::io
