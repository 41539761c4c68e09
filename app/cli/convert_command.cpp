// `velmora-cli convert`: import a list file into an empty list, write it out.
#include <filesystem>
#include <iostream>

#include "app/cli/cli_output.h"
#include "app/cli/commands.h"
#include "io/text_format.h"
#include "io/workbook.h"
#include "platform/queue_executor.h"

namespace velmora::cli {

int runConvert(const ConvertOptions& o) {
    std::string error;
    OutputFormat format;
    if (!chooseOutputFormat(o.format, o.out, format, error)) {
        std::cerr << "velmora-cli: " << error << "\n";
        return kExitBadArguments;
    }
    std::string ext = std::filesystem::path(o.in).extension().string();
    for (char& c : ext) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    if (ext != ".txt" && ext != ".xls" && ext != ".xlsx") {
        std::cerr << "velmora-cli: cannot tell the input format of '" << o.in
                  << "': use a .txt, .xls or .xlsx file\n";
        return kExitBadArguments;
    }
    if (!std::filesystem::is_regular_file(o.in)) {
        std::cerr << "velmora-cli: cannot read " << o.in << "\n";
        return kExitFileError;
    }
    if (!outputFolderUsable(o.out, error)) {
        std::cerr << "velmora-cli: " << error << "\n";
        return kExitFileError;
    }

    QueueExecutor main;
    CompanyList list;
    list.setSameNameFilter(o.sameNameFilter);
    io::IoReporter report = stderrReporter(main);
    bool imported =
        ext == ".txt" ? io::importText(list, o.in, report) : io::importWorkbook(list, o.in, report);
    if (!imported) return kExitFileError;
    if (!writeList(list, o.out, format, o.withProfile, main)) return kExitFileError;
    std::cerr << "wrote " << list.size() << " companies to " << o.out << "\n";
    return kExitOk;
}

}  // namespace velmora::cli
