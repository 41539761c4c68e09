#pragma once
// The spreadsheet format: the first worksheet of a workbook, one row per
// entry, columns 1 to 11 in list order, no header row. Written as .xlsx;
// read from .xlsx or legacy .xls, chosen by the file's content.
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>

#include "app/engine/company_list.h"
#include "io/io_reporter.h"

namespace velmora::io {

enum class WorkbookSave { Saved, Cancelled, Failed };

// Saved: the file is in place. Failed: the workbook could not be made or
// filled (message shown, previous file untouched). Cancelled: the filled
// workbook could not be saved ("已经取消保存", previous file untouched).
WorkbookSave exportWorkbook(const CompanyList& list, const std::string& path,
                            const std::function<bool()>& withProfile, IoReporter& report);

// What an import allocates for a workbook, whatever the file declares.
struct WorkbookLimits {
    std::size_t maxSharedStrings = std::size_t{1} << 24;
    std::size_t maxSharedStringBytes = std::size_t{1} << 30;
    std::size_t maxCellBytes = std::size_t{16} << 20;
    // XML that may pass without a finished row or shared string.
    std::uint64_t maxXmlBytesPerUnit = std::uint64_t{256} << 20;
};

// Returns false when the failure path was taken (entries added before the
// failure stay in the list). Never writes to the file it reads.
bool importWorkbook(CompanyList& list, const std::string& path, IoReporter& report,
                    const WorkbookLimits& limits = {});

}  // namespace velmora::io
