// note.ini: loading, the province, the keyword history with its move-to-front
// rule, the clear command and the remembered save format.
#include "app/engine/settings_store.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "platform/ini_file.h"
#include "support/test_support.h"

namespace velmora::testing {
namespace {

class SettingsStoreTest : public ::testing::Test {
  protected:
    std::string path() const { return dir_.file("note.ini"); }
    std::string value(const std::string& section, const std::string& key) {
        return IniFile(path()).read(section, key, "<missing>");
    }
    TempDir dir_;
};

TEST_F(SettingsStoreTest, FirstStartWithoutAFileGivesTheDefaults) {
    SettingsStore store(path());
    LoadedSettings s = store.load();
    EXPECT_EQ(s.keywordBox, "");
    EXPECT_EQ(s.history, std::vector<std::string>{""});
    EXPECT_EQ(s.saveFormat, "");
    EXPECT_EQ(s.provinceIndex, 0);
    EXPECT_EQ(s.provinceBox, g("(省份)"));
    EXPECT_FALSE(std::filesystem::exists(path()));
}

TEST_F(SettingsStoreTest, FirstKeywordWritesNumOneAndAnEmptySecondEntry) {
    SettingsStore store(path());
    store.load();
    EXPECT_TRUE(store.updateHistory(g("手机")));
    EXPECT_EQ(value("noterecord", "num"), "1");
    EXPECT_EQ(value("noterecord", "0"), g("手机"));
    EXPECT_EQ(value("noterecord", "1"), "");
    EXPECT_EQ(store.history(), (std::vector<std::string>{g("手机"), ""}));
    // A leading blank makes a different entry.
    store.updateHistory(g(" 手机"));
    EXPECT_EQ(store.history(), (std::vector<std::string>{g(" 手机"), g("手机"), ""}));
    EXPECT_EQ(value("noterecord", "num"), "2");
}

TEST_F(SettingsStoreTest, RepeatedKeywordMovesToTheFrontAndKeepsNum) {
    writeFile(path(), "[noterecord]\r\nnum=4\r\n0=a\r\n1=b\r\n2=c\r\n3=d\r\n4=e\r\n");
    SettingsStore store(path());
    LoadedSettings s = store.load();
    EXPECT_EQ(s.keywordBox, "a");
    EXPECT_EQ(s.history, (std::vector<std::string>{"a", "b", "c", "d", "e"}));
    EXPECT_TRUE(store.updateHistory("d"));
    EXPECT_EQ(store.history(), (std::vector<std::string>{"d", "a", "b", "c", "e"}));
    EXPECT_EQ(value("noterecord", "num"), "4");
    EXPECT_EQ(value("noterecord", "0"), "d");
    EXPECT_EQ(value("noterecord", "1"), "a");
    EXPECT_EQ(value("noterecord", "2"), "b");
    EXPECT_EQ(value("noterecord", "3"), "c");
    EXPECT_EQ(value("noterecord", "4"), "e");
}

TEST_F(SettingsStoreTest, ClearDeletesEveryKeyAndWritesMinusOne) {
    writeFile(path(), "; kept\r\n[noterecord]\r\nnum=2\r\n0=a\r\n1=b\r\n2=c\r\n[other]\r\nx=1\r\n");
    SettingsStore store(path());
    store.load();
    EXPECT_TRUE(store.clearHistory());
    EXPECT_TRUE(store.history().empty());
    EXPECT_EQ(value("noterecord", "num"), "-1");
    for (const char* key : {"0", "1", "2"}) EXPECT_EQ(value("noterecord", key), "<missing>");
    EXPECT_EQ(value("other", "x"), "1");  // the file's other lines stay
    EXPECT_NE(readFile(path()).find("; kept"), std::string::npos);

    // After a restart the history is truly empty; the next keyword is entry 0.
    SettingsStore again(path());
    LoadedSettings s = again.load();
    EXPECT_TRUE(s.history.empty());
    EXPECT_EQ(s.keywordBox, "");
    again.updateHistory("k");
    EXPECT_EQ(value("noterecord", "num"), "0");
    EXPECT_EQ(value("noterecord", "0"), "k");
    EXPECT_EQ(again.history(), std::vector<std::string>{"k"});
}

// The history has num + 1 entries, missing keys read as empty ones, and a
// damaged num is bounded; a long history loads in one read.
TEST_F(SettingsStoreTest, HistoryIsReadAsNumSays) {
    std::string longHistory = "[noterecord]\r\nnum=19999\r\n";
    for (int k = 0; k < 20000; ++k)
        longHistory += std::to_string(k) + "=kw" + std::to_string(k) + "\r\n";
    const struct {
        std::string file;
        size_t size;
        size_t at;
        std::string entry;
    } cases[] = {
        {"[noterecord]\r\nnum=3\r\n0=a\r\n2=c\r\n", 4, 1, ""},
        {longHistory, 20000, 19999, "kw19999"},
        {"[noterecord]\r\nnum=2147483647\r\n0=a\r\n", size_t(SettingsStore::kMaxHistory), 0, "a"},
    };
    for (const auto& c : cases) {
        writeFile(path(), c.file);
        LoadedSettings s = SettingsStore(path()).load();
        ASSERT_EQ(s.history.size(), c.size);
        EXPECT_EQ(s.history[c.at], c.entry);
    }
    writeFile(path(), cases[0].file);
    EXPECT_EQ(SettingsStore(path()).load().history, (std::vector<std::string>{"a", "", "c", ""}));
}

TEST_F(SettingsStoreTest, ProvinceIndexIsStoredAndAnEmptyBoxCountsAsZero) {
    SettingsStore store(path());
    EXPECT_EQ(store.storeProvince(9, g("浙江")), 9);
    EXPECT_EQ(value("province", "num"), "9");
    EXPECT_EQ(SettingsStore(path()).load().provinceBox, g("浙江"));
    EXPECT_EQ(store.storeProvince(9, ""), 0);
    EXPECT_EQ(value("province", "num"), "0");
    writeFile(path(), "[province]\r\nnum=36\r\n");
    LoadedSettings s = SettingsStore(path()).load();
    EXPECT_EQ(s.provinceIndex, 36);
    EXPECT_EQ(s.provinceBox, "");
    writeFile(path(), "[province]\r\nnum=35\r\n");
    EXPECT_EQ(SettingsStore(path()).load().provinceBox, g("其它"));
}

TEST_F(SettingsStoreTest, SaveFormatIsRemembered) {
    SettingsStore store(path());
    EXPECT_TRUE(store.storeSaveFormat("1"));
    EXPECT_EQ(value("saveformat", "mat"), "1");
    EXPECT_EQ(SettingsStore(path()).load().saveFormat, "1");
}

TEST_F(SettingsStoreTest, SourceChoiceIsKeptBesideTheOtherLines) {
    EXPECT_EQ(SettingsStore(path()).load().sources, (std::vector<int>{2, 7}));
    writeFile(path(), "; mine\r\n[province]\r\nnum=9\r\n[noterecord]\r\nnum=0\r\n0=a\r\n");
    SettingsStore store(path());
    store.load();
    EXPECT_TRUE(store.storeSources({7, 1, 4}));
    EXPECT_EQ(value("sources", "on"), "1,4,7");
    std::string text = readFile(path());
    for (const char* line : {"; mine", "num=9", "0=a"})
        EXPECT_NE(text.find(line), std::string::npos) << line;
    EXPECT_EQ(SettingsStore(path()).load().sources, (std::vector<int>{1, 4, 7}));
}

TEST_F(SettingsStoreTest, SourceValuesAreReadStrictly) {
    struct Case {
        const char* value;
        std::vector<int> sources;
    };
    const Case cases[] = {
        {"2,7", {2, 7}},      {"7", {7}},
        {" 3 , 1,3", {1, 3}}, {"1,2,3,4,5,6,7", {1, 2, 3, 4, 5, 6, 7}},
        {"", {2, 7}},         {"0", {2, 7}},
        {"8", {2, 7}},        {"2,,7", {2, 7}},
        {"2;7", {2, 7}},      {"27", {2, 7}},
        {"-1", {2, 7}},       {"1,x", {2, 7}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(SettingsStore::parseSources(c.value), c.sources) << c.value;
        writeFile(path(), std::string("[sources]\r\non=") + c.value + "\r\n");
        EXPECT_EQ(SettingsStore(path()).load().sources, c.sources) << c.value;
    }
}

TEST_F(SettingsStoreTest, HistoryUpdateWritesWhatKeyByKeyWritesWouldWrite) {
    std::string start = "; note\r\n[province]\r\nnum=3\r\n[noterecord]\r\nnum=1\r\n0=a\r\n1=b\r\n";
    writeFile(path(), start);
    SettingsStore store(path());
    store.load();
    store.updateHistory("c");

    std::string other = dir_.file("other.ini");
    writeFile(other, start);
    IniFile ini(other);
    ini.write("noterecord", "num", "2");
    ini.write("noterecord", "0", "c");
    ini.write("noterecord", "1", "a");
    ini.write("noterecord", "2", "b");
    EXPECT_EQ(readFile(path()), readFile(other));

    store.clearHistory();
    for (const char* key : {"0", "1", "2"}) ini.remove("noterecord", key);
    ini.write("noterecord", "num", "-1");
    EXPECT_EQ(readFile(path()), readFile(other));
}

TEST_F(SettingsStoreTest, HugeNumIsRewrittenInOnePass) {
    writeFile(path(), "[noterecord]\r\nnum=99999\r\n0=" + g("手机") + "\r\n");
    SettingsStore store(path());
    store.load();
    ASSERT_TRUE(store.updateHistory("k"));
    EXPECT_EQ(value("noterecord", "num"), "100000");
    EXPECT_EQ(value("noterecord", "0"), "k");
    EXPECT_EQ(value("noterecord", "1"), g("手机"));
    EXPECT_EQ(value("noterecord", "100000"), "");
    LoadedSettings s = SettingsStore(path()).load();
    EXPECT_EQ(s.keywordBox, "k");
    EXPECT_EQ(s.history.size(), static_cast<size_t>(SettingsStore::kMaxHistory));
    ASSERT_TRUE(store.clearHistory());
    EXPECT_EQ(value("noterecord", "num"), "-1");
    EXPECT_EQ(value("noterecord", "0"), "<missing>");
}

}  // namespace
}  // namespace velmora::testing
