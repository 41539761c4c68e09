#pragma once
// The eleven columns of the company list, in list order.
#include <array>
#include <string_view>

namespace velmora {

enum class Column : int {
    Id = 0,
    Name,
    Phone,
    Contact,
    Manager,
    Address,
    Postcode,
    Email,
    Website,
    Fax,
    Profile,
};
inline constexpr int kColumns = 11;

// Column captions as UTF-8 (converted for GBK files where needed).
inline constexpr std::array<std::string_view, kColumns> kColumnCaptionsUtf8 = {
    "ID",   "企业名称", "电话", "联系人", "主管", "企业地址",
    "邮编", "E-mail",   "网址", "传真",   "简介"};

// Keys of the JSON lines format, in list order.
inline constexpr std::array<std::string_view, kColumns> kColumnKeys = {
    "id",       "name",  "phone",   "contact", "manager", "address",
    "postcode", "email", "website", "fax",     "profile"};

}  // namespace velmora
