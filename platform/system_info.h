#pragma once
// Facts about the computer and the program shown in the about box.
#include <cstdint>
#include <string>

namespace velmora::sysinfo {

// Total physical memory in bytes; 0 when it cannot be found out.
std::uint64_t totalPhysicalMemoryBytes();

// A number with its thousands grouped by `separator` ("#,###": 1234567 ->
// "1,234,567"; 0 -> "0").
std::string groupThousands(std::uint64_t value, char separator = ',');

// The about box's memory figure: total physical memory in KB, grouped, then
// " KB" (for example "16,318,412 KB").
std::string memoryKilobytesText(std::uint64_t bytes, char separator = ',');

// The folder that holds the running executable (no trailing "/"); empty when
// it cannot be found.
std::string executableDir();

}  // namespace velmora::sysinfo
