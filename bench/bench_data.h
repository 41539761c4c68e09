#pragma once
// Realistic company entries for the benchmarks: GBK fields of the sizes the
// sites give (name ~30 bytes, address ~40, profile ~120, ...).
#include <cstddef>
#include <string>

#include "app/engine/company_list.h"
#include "io/io_reporter.h"

namespace velmora::bench {

// The record of entry i (0-based); `nameGroups` distinct names repeat
// round-robin when smaller than the count.
RecordSlot sampleRecord(size_t i, size_t nameGroups = 0);

// Fills the list with `count` entries (IDs 1..count).
void fillList(CompanyList& list, size_t count);

// Average bytes of the eleven fields of the entries sampleRecord makes.
double averageFieldBytes(size_t sample = 10000);

// A reporter that shows nothing: the benchmarks time the work, not the texts.
io::IoReporter quietReporter(Executor& main);

// Resident memory of this process in bytes.
size_t residentBytes();

}  // namespace velmora::bench
