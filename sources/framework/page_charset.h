#pragma once
// Pages in another charset than GBK. Every marker the parsers look for is a
// GBK byte string, so a site that has moved to UTF-8 would yield nothing; its
// pages are converted to GBK before the page check. Pages that declare GBK,
// GB2312 or GB18030, or declare nothing, pass byte for byte.
#include <string>
#include <string_view>

namespace velmora::text {

// How far into a page a <meta ... charset=...> is looked for.
inline constexpr std::size_t kCharsetWindow = 2048;

// The charset the Content-Type header names, else the first one a <meta>
// tag within the first kCharsetWindow bytes names; lower-cased, without
// quotes; empty when neither names one.
std::string declaredCharset(std::string_view contentType, std::string_view page);

// True for the names that the page check reads as they are: the GBK family
// (gbk, gb2312, gb18030, cp936 and their aliases), ASCII, and none.
bool passesUnchanged(std::string_view charset);

// Converts `page` to GBK when it declares a charset that passes not
// unchanged and that iconv knows; a character GBK cannot hold, and every
// malformed byte, becomes "?". Returns true when the page was converted.
bool convertPageToGbk(std::string& page, std::string_view contentType);

}  // namespace velmora::text
