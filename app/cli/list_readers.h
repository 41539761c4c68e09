#pragma once
// Reading a list file of any format the command-line program writes into an
// empty list: .txt (text format), .xls/.xlsx (workbook), .jsonl and .csv
// (UTF-8, as `--format jsonl|csv` writes them). IDs stay as read.
#include <string>

#include "app/engine/company_list.h"
#include "platform/executor.h"

namespace velmora::cli {

// False with a message (the text and workbook imports print their own).
bool readListFile(const std::string& path, CompanyList& list, Executor& main, std::string& error);

}  // namespace velmora::cli
