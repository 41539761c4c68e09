#pragma once
// The spreadsheet format: the first worksheet of a workbook, one row per
// entry, columns 1 to 11 in list order, no header row. Written as .xlsx;
// read from .xlsx or legacy .xls, chosen by the file's content.
#include <functional>
#include <string>

#include "app/engine/company_list.h"
#include "io/io_reporter.h"

namespace velmora::io {

enum class WorkbookSave { Saved, Cancelled, Failed };

WorkbookSave exportWorkbook(const CompanyList& list, const std::string& path,
                            const std::function<bool()>& withProfile, IoReporter& report);

// Returns false when the failure path was taken (entries added before the
// failure stay in the list).
bool importWorkbook(CompanyList& list, const std::string& path, IoReporter& report);

}  // namespace velmora::io
