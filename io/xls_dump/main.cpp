// velmora-xls-dump FILE: reads the first worksheet of a legacy .xls workbook
// with freexl and streams its rows to stdout (see xls_dump_protocol.h). Run
// by the spreadsheet import in a process of its own.
#include <cstdio>
#include <cstring>
#include <string>

#include "io/sheet_reader.h"
#include "io/xls_dump/xls_dump_protocol.h"

namespace velmora::io {
std::unique_ptr<SheetReader> openFreexlSheet(const std::string& path, std::string& error);
}

namespace {

void putBytes(const void* data, size_t size) {
    std::fwrite(data, 1, size, stdout);
}

void putText(const std::string& text) {
    auto length = static_cast<std::uint32_t>(text.size());
    putBytes(&length, sizeof length);
    putBytes(text.data(), text.size());
}

}  // namespace

int main(int argc, char** argv) {
    using namespace velmora::io;
    if (argc != 2) {
        std::fprintf(stderr, "usage: velmora-xls-dump FILE\n");
        return 2;
    }
    std::string error;
    auto sheet = openFreexlSheet(argv[1], error);
    if (!sheet) {
        std::fputc(xls_dump::kFailure, stdout);
        putText(error);
        return 1;
    }
    SheetRow row;
    while (sheet->next(row)) {
        std::fputc(xls_dump::kRow, stdout);
        putBytes(&row.number, sizeof row.number);
        for (const auto& cell : row.cells) putText(cell);
    }
    if (!sheet->error().empty()) {
        std::fputc(xls_dump::kFailure, stdout);
        putText(sheet->error());
        return 1;
    }
    std::fputc(xls_dump::kEnd, stdout);
    return std::fflush(stdout) == 0 ? 0 : 1;
}
