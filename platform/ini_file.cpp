#include "platform/ini_file.h"

#include <SimpleIni.h>

#include <cerrno>
#include <cstdlib>
#include <memory>

namespace velmora {
namespace {

// Non-UTF-8 (bytes as they are), single keys, keep comments and order.
std::unique_ptr<CSimpleIniA> loadIni(const std::string& path) {
    auto ini = std::make_unique<CSimpleIniA>(/*isUtf8=*/false, /*multiKey=*/false,
                                             /*multiLine=*/false);
    ini->SetSpaces(false);
    ini->LoadFile(path.c_str());  // a missing file reads as empty
    return ini;
}

}  // namespace

std::string IniFile::read(const std::string& section, const std::string& key,
                          const std::string& fallback) const {
    auto ini = loadIni(path_);
    const char* value = ini->GetValue(section.c_str(), key.c_str(), nullptr);
    return value ? std::string(value) : fallback;
}

long IniFile::readInt(const std::string& section, const std::string& key, long fallback) const {
    std::string text = read(section, key);
    if (text.empty()) return fallback;
    char* end = nullptr;
    errno = 0;
    long value = std::strtol(text.c_str(), &end, 10);
    if (errno != 0 || end == text.c_str() || *end != '\0') return fallback;
    return value;
}

bool IniFile::write(const std::string& section, const std::string& key, const std::string& value) {
    auto ini = loadIni(path_);
    if (ini->SetValue(section.c_str(), key.c_str(), value.c_str()) < 0) return false;
    return ini->SaveFile(path_.c_str(), /*addSignature=*/false) >= 0;
}

bool IniFile::remove(const std::string& section, const std::string& key) {
    auto ini = loadIni(path_);
    ini->Delete(section.c_str(), key.c_str());
    return ini->SaveFile(path_.c_str(), false) >= 0;
}

}  // namespace velmora
