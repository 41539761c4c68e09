#include "app/cli/cli_output.h"

#include <unistd.h>

#include <filesystem>
#include <iostream>

#include "io/plain_formats.h"
#include "io/text_format.h"
#include "io/workbook.h"
#include "platform/gbk.h"

namespace velmora::cli {

std::string utf8(const std::string& gbkText) {
    return gbk::toUtf8(gbkText);
}

bool chooseOutputFormat(const std::string& formatOption, const std::string& path,
                        OutputFormat& format, std::string& error) {
    std::string name = formatOption;
    if (name.empty()) {
        std::string ext = std::filesystem::path(path).extension().string();
        for (char& c : ext) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        if (!ext.empty()) name = ext.substr(1);
    }
    if (name == "txt")
        format = OutputFormat::Text;
    else if (name == "jsonl")
        format = OutputFormat::JsonLines;
    else if (name == "csv")
        format = OutputFormat::Csv;
    else if (name == "xlsx")
        format = OutputFormat::Workbook;
    else {
        error = formatOption.empty()
                    ? "cannot tell the output format from '" + path +
                          "': use a .txt, .jsonl, .csv or .xlsx name, or --format"
                    : "unknown format '" + formatOption + "' (txt, jsonl, csv or xlsx)";
        return false;
    }
    return true;
}

io::IoReporter stderrReporter(Executor& main) {
    io::IoReporter report{main, {}, {}, {}, {}};
    bool terminal = ::isatty(STDERR_FILENO) == 1;
    report.setStatus = [terminal](const std::string& text) {
        if (terminal)
            std::cerr << "\r" << utf8(text) << "\x1b[K" << std::flush;
        else
            std::cerr << utf8(text) << "\n";
    };
    report.setBusy = [terminal](bool shown) {
        if (!shown && terminal) std::cerr << "\n";
    };
    report.message = [](const std::string& caption, const std::string& text) {
        std::cerr << "\n" << utf8(caption) << ": " << utf8(text) << "\n";
    };
    report.importCompleted = [] {};
    return report;
}

bool outputFolderUsable(const std::string& path, std::string& error) {
    std::filesystem::path folder = std::filesystem::path(path).parent_path();
    if (folder.empty()) folder = ".";
    std::error_code ec;
    if (!std::filesystem::is_directory(folder, ec)) {
        error = "output folder does not exist: " + folder.string();
        return false;
    }
    if (::access(folder.c_str(), W_OK) != 0) {
        error = "output folder is not writable: " + folder.string();
        return false;
    }
    if (std::filesystem::is_directory(path, ec)) {
        error = "output is a folder: " + path;
        return false;
    }
    return true;
}

bool writeList(const CompanyList& list, const std::string& path, OutputFormat format,
               bool withProfile, Executor& main) {
    io::IoReporter report = stderrReporter(main);
    auto profile = [withProfile] { return withProfile; };
    std::string error;
    switch (format) {
        case OutputFormat::Text:
            return io::exportText(list, path, profile, report);
        case OutputFormat::Workbook:
            return io::exportWorkbook(list, path, profile, report) == io::WorkbookSave::Saved;
        case OutputFormat::JsonLines:
            if (io::exportJsonLines(list, path, error)) return true;
            break;
        case OutputFormat::Csv:
            if (io::exportCsv(list, path, error)) return true;
            break;
    }
    std::cerr << "cannot write " << path << ": " << error << "\n";
    return false;
}

}  // namespace velmora::cli
