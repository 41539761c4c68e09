#pragma once
// Writing the company list in the format asked for, and the reporter that
// shows import/export progress on stderr.
#include <string>

#include "app/engine/company_list.h"
#include "io/io_reporter.h"

namespace velmora::cli {

// Exit statuses shared by every subcommand.
inline constexpr int kExitOk = 0;
inline constexpr int kExitFileError = 1;
inline constexpr int kExitBadArguments = 2;

enum class OutputFormat { Text, JsonLines, Csv, Workbook };

// From --format (when given) or the file's extension; false when neither names a format.
bool chooseOutputFormat(const std::string& formatOption, const std::string& path,
                        OutputFormat& format, std::string& error);

// A reporter whose texts go to stderr (UTF-8); runs on the calling thread.
io::IoReporter stderrReporter(Executor& main);

// Checks before a long run that the output's folder exists and is writable.
bool outputFolderUsable(const std::string& path, std::string& error);

// Writes the list; false on a file error (message already printed).
bool writeList(const CompanyList& list, const std::string& path, OutputFormat format,
               bool withProfile, Executor& main);

// A GBK text for the terminal.
std::string utf8(const std::string& gbkText);

}  // namespace velmora::cli
