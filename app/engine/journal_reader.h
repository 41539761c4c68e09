#pragma once
// Reading a journal back: its intact records, the entries it holds and how
// many of them were never saved.
#include <cstddef>
#include <string>
#include <string_view>

#include "app/engine/company_list.h"
#include "app/engine/journal_record.h"

namespace velmora {

// A journal file in memory; the records' views point into `bytes`, so the
// object stays where it was filled.
struct JournalFile {
    JournalFile() = default;
    JournalFile(const JournalFile&) = delete;
    JournalFile& operator=(const JournalFile&) = delete;

    bool exists = false;
    std::string bytes;
    journal::Scan scan;
};

// Reads and scans the file. A missing file is no error (exists stays false).
bool readJournal(const std::string& path, JournalFile& file, std::string& error);

// An entry record: the source that took it in (0: none) and its eleven columns.
bool decodeEntry(std::string_view payload, int& tag, EntryFields& columns);

struct JournalSummary {
    size_t entries = 0;  // entry records
    size_t saved = 0;    // the highest "first N entries saved" mark
    size_t unsaved() const { return entries > saved ? entries - saved : 0; }
};
JournalSummary summarize(const journal::Scan& scan);

// Appends every entry of the journal to the list as it stood: its IDs and
// fields as recorded, without the same-name filter. Returns the number added.
size_t restoreEntries(const journal::Scan& scan, CompanyList& list);

}  // namespace velmora
