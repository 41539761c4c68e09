#include "sources/regional/regional_source.h"

#include <array>

#include "platform/gbk.h"
#include "sources/framework/paging.h"
#include "sources/framework/text_scan.h"

namespace velmora {
namespace {

using text::Pos;

enum class Destination { Slot, Employees, Products, Description };

struct Label {
    std::string bytes;  // GBK, ten bytes
    Destination destination;
    Field field;
};

const std::array<Label, 11>& labels() {
    static const std::array<Label, 11> k = {{
        {gbk::fromUtf8("单位名称："), Destination::Slot, Field::Name},
        {gbk::fromUtf8("固定电话："), Destination::Slot, Field::Phone},
        {gbk::fromUtf8("传真号码："), Destination::Slot, Field::Fax},
        {gbk::fromUtf8("法人代表："), Destination::Slot, Field::Manager},
        {gbk::fromUtf8("单位地址："), Destination::Slot, Field::Address},
        {gbk::fromUtf8("邮政编码："), Destination::Slot, Field::Postcode},
        {gbk::fromUtf8("电子邮件："), Destination::Slot, Field::Email},
        {gbk::fromUtf8("单位网址："), Destination::Slot, Field::Website},
        {gbk::fromUtf8("雇员人数："), Destination::Employees, Field::Name},
        {gbk::fromUtf8("产品服务："), Destination::Products, Field::Name},
        {gbk::fromUtf8("单位描述："), Destination::Description, Field::Name},
    }};
    return k;
}

// The value of a labelled row: from behind the label to the row's "</tr>"
// (or the page end), tags removed, ends trimmed. Empty optional when the
// label does not occur.
bool labelledValue(std::string_view page, const std::string& label, std::string& value) {
    Pos p = text::find(page, label);
    if (p == 0) return false;
    Pos start = p + text::length(label);
    // The scan starts at the first byte behind the label and so examines the
    // byte after it first; without a "</tr>" the value runs to the page end.
    Pos end = text::scanForward(page, "</tr>", start, text::length(page) + 1);
    std::string cleaned = text::removeTags(text::cut(page, start, end));
    value = std::string(text::trim(cleaned));
    return true;
}

}  // namespace

ListingRequest RegionalSource::listingRequest(const std::string& url, const WorkKey&,
                                              WorkForm& form) const {
    std::string query;
    if (form.province != "000000")
        query = "?&area1=" + form.province + "&area2=" + form.province;
    else
        query = "?&area2=" + form.province;
    query += "&corpname=" + form.keyword;
    query += "&page=" + std::to_string(form.nextPage);
    ++form.nextPage;
    return {ListingRequest::Method::Get, url + query, {}};
}

void RegionalSource::parseListing(std::string_view page, WorkForm& form, const WorkKey& key,
                                  IntakeContext&) const {
    static constexpr std::string_view kAnchor = "<a href=\"detail.asp?corpid=";
    form.detailCount = 0;
    applyPaging(form, hasNextPageLink(page));

    // Positions are absolute in `page`; the "remaining page" of each round
    // starts behind `base`.
    text::ForwardFinder anchors(page, kAnchor);
    text::ForwardFinder closers(page, "\">");
    Pos base = 0;
    for (;;) {
        Pos p = anchors.next(base + 1);
        if (p == 0) break;
        Pos start = p + 9;  // the "d" of "detail.asp"
        Pos end = closers.next(start + 1);
        if (end == 0) end = text::length(page);
        std::string link(text::cut(page, start, end));
        addDetailRow(form, key, address_ + "/main/corp/" + link);
        base = start - 1;
    }
}

void RegionalSource::parseDetail(std::string_view page, WorkForm& form) const {
    static const std::string kStaff = gbk::fromUtf8("公司现有职工");
    static const std::string kStaffEnd = gbk::fromUtf8("人，");
    static const std::string kDealsIn = gbk::fromUtf8("主要经营");
    static const std::string kFullStop = gbk::fromUtf8("。");

    RecordSlot& slot = form.slot;
    std::string employees, products, description;
    for (const Label& label : labels()) {
        std::string value;
        if (!labelledValue(page, label.bytes, value)) continue;
        switch (label.destination) {
            case Destination::Slot:
                slot[label.field] = std::move(value);
                break;
            case Destination::Employees:
                employees = std::move(value);
                break;
            case Destination::Products:
                products = std::move(value);
                break;
            case Destination::Description:
                description = std::move(value);
                break;
        }
        if (label.field == Field::Fax && label.destination == Destination::Slot) {
            if (slot[Field::Fax].size() < 5) slot[Field::Fax].clear();
            slot[Field::Contact].clear();  // this site has no contact person
        }
    }
    // The contact is emptied even when the page has no fax row.
    slot[Field::Contact].clear();

    std::string profile;
    if (!employees.empty()) profile += kStaff + employees + kStaffEnd;
    if (!products.empty()) profile += kDealsIn + products + kFullStop;
    if (!description.empty()) profile += description;
    slot[Field::Profile] = std::move(profile);
}

}  // namespace velmora
