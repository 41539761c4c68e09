#pragma once
// Rows of the first worksheet of a workbook file, in sheet order, as the
// texts a spreadsheet shows for the cells (UTF-8). Only columns 1 to 11 are
// kept; rows and cells the file does not hold are empty.
#include <array>
#include <cstdint>
#include <memory>
#include <string>

#include "app/engine/company_columns.h"
#include "io/workbook.h"

namespace velmora::io {

struct SheetRow {
    std::uint64_t number = 0;  // 1-based, as the file numbers it
    std::array<std::string, kColumns> cells;
};

class SheetReader {
  public:
    virtual ~SheetReader() = default;
    // The next row the file holds (row numbers rise, but may skip). False at
    // the end of the sheet or on damage (error() then says what).
    virtual bool next(SheetRow& row) = 0;
    virtual const std::string& error() const = 0;
};

// Opens the first worksheet, choosing the reader by the file's signature:
// a ZIP package (.xlsx) or an OLE2 compound file (.xls). nullptr with
// `error` set when the file is none of them or cannot be read.
std::unique_ptr<SheetReader> openFirstSheet(const std::string& path, const WorkbookLimits& limits,
                                            std::string& error);

std::unique_ptr<SheetReader> openXlsxSheet(const std::string& path, const WorkbookLimits& limits,
                                           std::string& error);
std::unique_ptr<SheetReader> openXlsSheet(const std::string& path, std::string& error);

}  // namespace velmora::io
