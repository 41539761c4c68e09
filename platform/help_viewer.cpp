#include "platform/help_viewer.h"

#include <filesystem>

namespace velmora::help {
namespace {

constexpr const char* kChmViewers[] = {"hh.exe", "xchm", "kchmviewer"};

bool isFile(const std::filesystem::path& p) {
    std::error_code ec;
    return std::filesystem::is_regular_file(p, ec);
}

}  // namespace

Document locate(const std::string& exeDir, const ProgramFinder& find) {
    namespace fs = std::filesystem;
    fs::path dir(exeDir);
    fs::path chm = dir / kChmFile;
    if (isFile(chm)) {
        for (const char* viewer : kChmViewers) {
            std::string found = find ? find(viewer) : std::string();
            if (!found.empty()) return {Kind::Chm, chm.string(), found};
        }
    }
    fs::path html = dir / kHtmlFolder / kHtmlIndex;
    if (isFile(html)) return {Kind::Html, html.string(), {}};
    return {};
}

std::string fileUrl(const std::string& absolutePath) {
    static const char* kHex = "0123456789ABCDEF";
    std::string url = "file://";
    for (unsigned char c : absolutePath) {
        bool plain = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') ||
                     c == '/' || c == '-' || c == '_' || c == '.' || c == '~';
        if (plain) {
            url += static_cast<char>(c);
        } else {
            url += '%';
            url += kHex[c >> 4];
            url += kHex[c & 0x0F];
        }
    }
    return url;
}

bool open(const std::string& exeDir, Shell& shell, const ProgramFinder& find) {
    Document doc = locate(exeDir, find);
    switch (doc.kind) {
        case Kind::Chm:
            return shell.start({doc.viewer, doc.path});
        case Kind::Html:
            return shell.open(fileUrl(std::filesystem::absolute(doc.path).string()));
        case Kind::None:
            break;
    }
    return false;
}

}  // namespace velmora::help
