#include "bench/bench_data.h"

#include <unistd.h>

#include <array>
#include <fstream>

#include "platform/gbk.h"

namespace velmora::bench {
namespace {

const std::array<std::string, 8>& cities() {
    static const std::array<std::string, 8> k = {
        gbk::fromUtf8("杭州"), gbk::fromUtf8("宁波"), gbk::fromUtf8("温州"), gbk::fromUtf8("深圳"),
        gbk::fromUtf8("广州"), gbk::fromUtf8("苏州"), gbk::fromUtf8("无锡"), gbk::fromUtf8("青岛")};
    return k;
}

const std::array<std::string, 6>& trades() {
    static const std::array<std::string, 6> k = {
        gbk::fromUtf8("电子科技"), gbk::fromUtf8("机械制造"), gbk::fromUtf8("进出口贸易"),
        gbk::fromUtf8("塑胶制品"), gbk::fromUtf8("纺织服装"), gbk::fromUtf8("五金工具")};
    return k;
}

}  // namespace

RecordSlot sampleRecord(size_t i, size_t nameGroups) {
    static const std::string kLimited = gbk::fromUtf8("有限公司");
    static const std::string kRoad = gbk::fromUtf8("区文三路");
    static const std::string kNumber = gbk::fromUtf8("号");
    static const std::string kProfile = gbk::fromUtf8(
        "公司现有职工120人，主要经营手机配件、数据线、充电器。本公司成立于2003年，"
        "专业从事研发与生产。");
    size_t n = nameGroups ? i % nameGroups : i;
    const std::string& city = cities()[n % cities().size()];
    const std::string& trade = trades()[(n / 8) % trades().size()];
    RecordSlot r;
    r[Field::Name] = city + std::to_string(n) + trade + kLimited;
    r[Field::Phone] = " 0571 " + std::to_string(80000000 + i % 9999999);
    r[Field::Contact] = "";
    r[Field::Manager] = gbk::fromUtf8("王明");
    r[Field::Address] = city + kRoad + std::to_string(i % 500) + kNumber;
    r[Field::Postcode] = "310012";
    r[Field::Email] = "sales" + std::to_string(i) + "@example.com";
    r[Field::Website] = "http://www.c" + std::to_string(i) + ".com";
    r[Field::Fax] = " 0571 " + std::to_string(81000000 + i % 9999999);
    r[Field::Profile] = kProfile;
    return r;
}

void fillList(CompanyList& list, size_t count) {
    for (size_t i = 0; i < count; ++i) list.addEntry(std::to_string(i + 1), sampleRecord(i));
}

double averageFieldBytes(size_t sample) {
    double total = 0;
    for (size_t i = 0; i < sample; ++i) {
        RecordSlot r = sampleRecord(i);
        total += static_cast<double>(std::to_string(i + 1).size());
        for (const auto& f : r.fields) total += static_cast<double>(f.size());
    }
    return total / static_cast<double>(sample);
}

io::IoReporter quietReporter(Executor& main) {
    return io::IoReporter{main, [](const std::string&) {}, [](bool) {},
                          [](const std::string&, const std::string&) {}, [] {}};
}

size_t residentBytes() {
    std::ifstream statm("/proc/self/statm");
    size_t pages = 0, resident = 0;
    statm >> pages >> resident;
    return resident * static_cast<size_t>(sysconf(_SC_PAGESIZE));
}

}  // namespace velmora::bench
