#include "app/engine/settings_store.h"

#include <SimpleIni.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <functional>
#include <string_view>

#include "app/engine/provinces.h"

namespace velmora {
namespace {

constexpr const char* kHistorySection = "noterecord";
constexpr const char* kProvinceSection = "province";
constexpr const char* kFormatSection = "saveformat";
constexpr const char* kNum = "num";
constexpr const char* kFormatKey = "mat";
constexpr const char* kSourcesSection = "sources";
constexpr const char* kSourcesKey = "on";
constexpr int kLastSource = 7;

long parseLong(const char* text, long fallback) {
    if (!text || !*text) return fallback;
    char* end = nullptr;
    errno = 0;
    long value = std::strtol(text, &end, 10);
    if (errno != 0 || end == text || *end != '\0') return fallback;
    return value;
}

// Loads the file, applies `edit` and writes it back once, with the same
// reading and writing rules as IniFile, so that the file looks exactly as if
// the keys had been written one at a time.
bool editFile(const std::string& path, const std::function<void(CSimpleIniA&)>& edit) {
    CSimpleIniA ini(/*isUtf8=*/false, /*multiKey=*/false, /*multiLine=*/false);
    ini.SetSpaces(false);
    ini.LoadFile(path.c_str());
    edit(ini);
    return ini.SaveFile(path.c_str(), /*addSignature=*/false) >= 0;
}

}  // namespace

std::vector<std::string> SettingsStore::readHistory(long num) const {
    std::vector<std::string> entries;
    if (num < 0) return entries;
    num = std::min(num, kMaxHistory - 1);
    // One parse for the whole history: reading key by key would parse the
    // whole file once per entry.
    CSimpleIniA ini(/*isUtf8=*/false, /*multiKey=*/false, /*multiLine=*/false);
    ini.LoadFile(ini_.path().c_str());
    entries.reserve(static_cast<size_t>(num) + 1);
    for (long k = 0; k <= num; ++k) {
        const char* value = ini.GetValue(kHistorySection, std::to_string(k).c_str(), "");
        entries.emplace_back(value ? value : "");
    }
    return entries;
}

LoadedSettings SettingsStore::load() {
    CSimpleIniA ini(false, false, false);
    ini.LoadFile(ini_.path().c_str());
    LoadedSettings s;
    s.keywordBox = ini.GetValue(kHistorySection, "0", "");
    long num = parseLong(ini.GetValue(kHistorySection, kNum, nullptr), 0);
    history_ = readHistory(num);
    s.history = history_;
    s.saveFormat = ini.GetValue(kFormatSection, kFormatKey, "");
    s.provinceIndex = parseLong(ini.GetValue(kProvinceSection, kNum, nullptr), 0);
    const auto& entries = provinces::boxEntries();
    if (s.provinceIndex >= 0 && static_cast<size_t>(s.provinceIndex) < entries.size())
        s.provinceBox = entries[static_cast<size_t>(s.provinceIndex)];
    const char* sources = ini.GetValue(kSourcesSection, kSourcesKey, nullptr);
    s.sources = sources ? parseSources(sources) : defaultSources();
    return s;
}

long SettingsStore::storeProvince(long provinceIndex, const std::string& provinceBox) {
    if (provinceBox.empty()) provinceIndex = 0;
    ini_.write(kProvinceSection, kNum, std::to_string(provinceIndex));
    return provinceIndex;
}

bool SettingsStore::updateHistory(const std::string& t) {
    // A damaged "num" must not make us write millions of keys.
    long n = std::min(ini_.readInt(kHistorySection, kNum, 0), kMaxHistory - 1);
    auto entry = [this](long k) -> const std::string& {
        static const std::string kEmpty;
        return static_cast<size_t>(k) < history_.size() ? history_[static_cast<size_t>(k)] : kEmpty;
    };
    long found = -1;
    for (long k = 0; k <= n; ++k) {
        if (entry(k) == t) {
            found = k;
            break;
        }
        // Entries beyond the history read as empty and t is never empty.
        if (static_cast<size_t>(k) >= history_.size()) break;
    }

    long last = 0;
    if (found >= 0) {
        if (static_cast<size_t>(found) < history_.size()) history_.erase(history_.begin() + found);
        last = found;
    } else {
        last = n < 0 ? 0 : n + 1;
    }
    history_.insert(history_.begin(), t);
    // Keys "num" (for a new keyword) and "0" .. last, in the order a key-by-key
    // writer would write them, but with one rewrite of the file instead of
    // one per key: a long history would otherwise cost quadratic time.
    return editFile(ini_.path(), [&](CSimpleIniA& ini) {
        if (found < 0) ini.SetValue(kHistorySection, kNum, std::to_string(last).c_str());
        for (long k = 0; k <= last; ++k)
            ini.SetValue(kHistorySection, std::to_string(k).c_str(), entry(k).c_str());
    });
}

bool SettingsStore::clearHistory() {
    long n = std::min(ini_.readInt(kHistorySection, kNum, 0), kMaxHistory - 1);
    history_.clear();
    return editFile(ini_.path(), [&](CSimpleIniA& ini) {
        for (long k = 0; k <= n; ++k) ini.Delete(kHistorySection, std::to_string(k).c_str());
        ini.SetValue(kHistorySection, kNum, "-1");
    });
}

bool SettingsStore::storeSaveFormat(const std::string& format) {
    return ini_.write(kFormatSection, kFormatKey, format);
}

const std::vector<int>& SettingsStore::defaultSources() {
    static const std::vector<int> kDefault{2, 7};
    return kDefault;
}

std::vector<int> SettingsStore::parseSources(const std::string& value) {
    std::vector<bool> on(kLastSource + 1, false);
    bool any = false;
    size_t at = 0;
    for (;;) {
        size_t comma = std::min(value.find(',', at), value.size());
        std::string_view item(value.data() + at, comma - at);
        while (!item.empty() && item.front() == ' ') item.remove_prefix(1);
        while (!item.empty() && item.back() == ' ') item.remove_suffix(1);
        if (item.size() != 1 || item[0] < '1' || item[0] > '0' + kLastSource)
            return defaultSources();
        on[static_cast<size_t>(item[0] - '0')] = true;
        any = true;
        if (comma == value.size()) break;
        at = comma + 1;
    }
    if (!any) return defaultSources();
    std::vector<int> sources;
    for (int s = 1; s <= kLastSource; ++s)
        if (on[static_cast<size_t>(s)]) sources.push_back(s);
    return sources;
}

std::string SettingsStore::formatSources(const std::vector<int>& sources) {
    std::vector<int> sorted = sources;
    std::sort(sorted.begin(), sorted.end());
    sorted.erase(std::unique(sorted.begin(), sorted.end()), sorted.end());
    std::string text;
    for (int s : sorted) {
        if (s < 1 || s > kLastSource) continue;
        if (!text.empty()) text += ',';
        text += std::to_string(s);
    }
    return text;
}

bool SettingsStore::storeSources(const std::vector<int>& sources) {
    return ini_.write(kSourcesSection, kSourcesKey, formatSources(sources));
}

}  // namespace velmora
