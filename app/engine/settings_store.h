#pragma once
// note.ini: the keyword history, the province index and the remembered save
// format, kept from one run of the program to the next. Values are read and
// written at the moment they are needed, touching only their own keys, so
// the file's other lines stay as they are. Values are GBK bytes.
//
//   [noterecord]  num = index of the last history entry (-1 after clearing)
//                 0, 1, ... num = the keywords, most recent first
//   [province]    num = province box index (0 = "(省份)")
//   [saveformat]  mat = "1" spreadsheet, "2" text
//   [sources]     on = the sources the search command starts, e.g. "2,7"
#include <string>
#include <vector>

#include "platform/ini_file.h"

namespace velmora {

struct LoadedSettings {
    std::string keywordBox;            // key "0" of the history
    std::vector<std::string> history;  // entries 0 .. num
    std::string saveFormat;            // empty when never chosen
    long provinceIndex = 0;
    std::string provinceBox;   // the province entry at that index, or empty
    std::vector<int> sources;  // ascending, never empty
};

class SettingsStore {
  public:
    // History entries a damaged "num" can make us read at most.
    static constexpr long kMaxHistory = 100000;

    explicit SettingsStore(std::string path) : ini_(std::move(path)) {}

    const std::string& path() const { return ini_.path(); }

    // Start-up: reads the file once (a missing file gives the defaults) and
    // keeps the history for the search starts that follow.
    LoadedSettings load();

    // The history as it stands (most recent first).
    const std::vector<std::string>& history() const { return history_; }

    // Search start, step "store the province": an empty province box counts
    // as index 0. Returns the index written.
    long storeProvince(long provinceIndex, const std::string& provinceBox);

    // Search start, step "update the history", for a non-empty keyword box
    // text `t` (untrimmed). A keyword already in the history moves to the
    // front; a new one is added at the front. Returns false on a write error.
    bool updateHistory(const std::string& t);

    // The clear command (after the user confirmed): deletes keys 0 .. num and
    // writes num = -1. Returns false on a write error.
    bool clearHistory();

    // The save format remembered by the save-format dialog ("1" or "2").
    bool storeSaveFormat(const std::string& format);

    // The sources the search command starts, as the window's choice stands.
    static const std::vector<int>& defaultSources();
    // A value of key "on": numbers 1..7 separated by commas; anything else,
    // or no number at all, reads as the default choice.
    static std::vector<int> parseSources(const std::string& value);
    static std::string formatSources(const std::vector<int>& sources);
    bool storeSources(const std::vector<int>& sources);

  private:
    // All history keys 0 .. num in one read of the file.
    std::vector<std::string> readHistory(long num) const;

    IniFile ini_;
    std::vector<std::string> history_;
};

}  // namespace velmora
