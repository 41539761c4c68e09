// note.ini as start-up reads it: the keyword history, the province and the
// remembered save format, from any bytes; the key-by-key reads the search
// start and the save-format dialog make; then the search start's history
// update, which must come back in time whatever "num" says.
//
// Input: the file.
#include <cstdint>
#include <string>

#include "app/engine/provinces.h"
#include "app/engine/settings_store.h"
#include "fuzz/fuzz_support.h"
#include "platform/ini_file.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, size_t size) {
    using namespace velmora;
    static fuzz::ScratchDir dir;
    static const std::string path = dir.file("note.ini");
    fuzz::writeFile(path, std::string_view(reinterpret_cast<const char*>(data), size));

    SettingsStore store(path);
    LoadedSettings s = store.load();

    IniFile ini(path);
    const long num = ini.readInt("noterecord", "num", 0);
    FUZZ_CHECK(s.keywordBox == ini.read("noterecord", "0"));
    FUZZ_CHECK(s.saveFormat == ini.read("saveformat", "mat"));
    FUZZ_CHECK(s.provinceIndex == ini.readInt("province", "num", 0));

    // Entries 0 .. num, at most the bound a damaged "num" is cut to.
    size_t expected =
        num < 0 ? 0 : static_cast<size_t>(std::min(num, SettingsStore::kMaxHistory - 1)) + 1;
    FUZZ_CHECK(s.history.size() == expected);
    FUZZ_CHECK(store.history() == s.history);
    for (size_t k = 0; k < s.history.size() && k < 64; ++k)
        FUZZ_CHECK(s.history[k] == ini.read("noterecord", std::to_string(k)));
    if (!s.history.empty()) FUZZ_CHECK(s.history[0] == s.keywordBox);

    const auto& entries = provinces::boxEntries();
    bool named = s.provinceIndex >= 0 && static_cast<size_t>(s.provinceIndex) < entries.size();
    FUZZ_CHECK(s.provinceBox ==
               (named ? entries[static_cast<size_t>(s.provinceIndex)] : std::string()));

    // A search start with a keyword: it heads the history, in memory and in
    // the file.
    static const std::string kKeyword = "fuzz-keyword";
    FUZZ_CHECK(store.updateHistory(kKeyword));
    FUZZ_CHECK(!store.history().empty() && store.history().front() == kKeyword);
    FUZZ_CHECK(SettingsStore(path).load().keywordBox == kKeyword);
    return 0;
}
