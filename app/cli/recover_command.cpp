// `velmora-cli recover`: the companies a journal holds, written as a list file.
#include <iostream>

#include "app/cli/cli_output.h"
#include "app/cli/commands.h"
#include "app/engine/journal_reader.h"
#include "platform/queue_executor.h"

namespace velmora::cli {

int runRecover(const RecoverOptions& o) {
    std::string error;
    OutputFormat format;
    if (!chooseOutputFormat(o.format, o.out, format, error)) {
        std::cerr << "velmora-cli: " << error << "\n";
        return kExitBadArguments;
    }
    JournalFile file;
    if (!readJournal(o.journal, file, error)) {
        std::cerr << "velmora-cli: cannot read " << error << "\n";
        return kExitFileError;
    }
    if (!file.exists) {
        std::cerr << "velmora-cli: cannot read " << o.journal << "\n";
        return kExitFileError;
    }
    if (!file.scan.headOk) {
        std::cerr << "velmora-cli: " << o.journal << " is not a Velmora journal\n";
        return kExitFileError;
    }
    if (!outputFolderUsable(o.out, error)) {
        std::cerr << "velmora-cli: " << error << "\n";
        return kExitFileError;
    }
    if (file.scan.damagedBytes > 0)
        std::cerr << "velmora-cli: " << o.journal << ": a damaged tail of "
                  << file.scan.damagedBytes << " bytes was left out\n";

    QueueExecutor main;
    CompanyList list;
    JournalSummary summary = summarize(file.scan);
    restoreEntries(file.scan, list);
    if (!writeList(list, o.out, format, o.withProfile, main)) return kExitFileError;
    std::cerr << "wrote " << list.size() << " companies to " << o.out << " (" << summary.unsaved()
              << " of them never saved)\n";
    return kExitOk;
}

}  // namespace velmora::cli
