#include "platform/system_info.h"

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>

namespace velmora::sysinfo {
namespace {

// "MemTotal:       16318412 kB" from /proc/meminfo, in bytes.
std::uint64_t memTotalFromProc() {
    std::ifstream in("/proc/meminfo");
    std::string line;
    while (std::getline(in, line)) {
        if (line.rfind("MemTotal:", 0) != 0) continue;
        std::istringstream fields(line.substr(9));
        std::uint64_t kb = 0;
        if (fields >> kb) return kb * 1024;
    }
    return 0;
}

}  // namespace

std::uint64_t totalPhysicalMemoryBytes() {
    long pages = ::sysconf(_SC_PHYS_PAGES);
    long pageSize = ::sysconf(_SC_PAGE_SIZE);
    if (pages > 0 && pageSize > 0)
        return static_cast<std::uint64_t>(pages) * static_cast<std::uint64_t>(pageSize);
    return memTotalFromProc();
}

std::string groupThousands(std::uint64_t value, char separator) {
    std::string digits = std::to_string(value);
    std::string out;
    out.reserve(digits.size() + digits.size() / 3);
    for (size_t i = 0; i < digits.size(); ++i) {
        if (i != 0 && (digits.size() - i) % 3 == 0) out += separator;
        out += digits[i];
    }
    return out;
}

std::string memoryKilobytesText(std::uint64_t bytes, char separator) {
    return groupThousands(bytes / 1024, separator) + " KB";
}

std::string executableDir() {
    std::error_code ec;
    auto exe = std::filesystem::read_symlink("/proc/self/exe", ec);
    if (ec) return {};
    return exe.parent_path().string();
}

}  // namespace velmora::sysinfo
