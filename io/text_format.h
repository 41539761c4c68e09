#pragma once
// The text format: one block of twelve GBK lines (CR LF) per list entry,
// found again on import by its marker line "·[" + ID + "]".
#include <cstddef>
#include <functional>
#include <string>

#include "app/engine/company_list.h"
#include "io/io_reporter.h"

namespace velmora::io {

// Writes every entry of the list (as its size was at the start). The file is
// written beside the target and renamed over it only when complete, so a
// failed save never destroys the previous file. `withProfile` is read per
// block ("保存简介项"). Returns false on a file error (reported through the
// reporter with a message, never with the success text).
bool exportText(const CompanyList& list, const std::string& path,
                const std::function<bool()>& withProfile, IoReporter& report);

struct TextImportLimits {
    // A longer line ends the import with a message: no list file has one, and
    // memory for it is needed once more when it becomes a list entry.
    size_t maxLineBytes = size_t{1} << 30;
};

// Reads blocks on the calling thread and appends the entries in file order
// through the same-name filter on the main thread, a batch at a time.
// Returns false on a file error (entries read before it stay in the list).
bool importText(CompanyList& list, const std::string& path, IoReporter& report,
                const TextImportLimits& limits = {});

}  // namespace velmora::io
