#pragma once
// The parts of a page around the data: document head with styles and
// scripts, navigation, side columns, news and advert blocks, footer. None of
// them carries a text that a harvester's parser looks for (no labels, no
// pager marks, no "@", no "<p class=", no number between ">" and "<"), so the
// data markers of a page occur exactly where the layout puts them.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace velmora::demo {

enum class SiteStyle { Regional, Alibaba, Search, Hit };

namespace filler {

// "<!DOCTYPE ...><html><head>...</head><body>" with the site's stylesheet,
// scripts and comments; `title` is GBK.
std::string pageStart(SiteStyle style, std::string_view title);
std::string navigation(SiteStyle style);
std::string sideColumn(SiteStyle style);
// Appends marker-free blocks until `page` holds at least `targetBytes`.
void padTo(std::string& page, std::size_t targetBytes, std::uint64_t salt);
// The footer and "</body></html>"; it holds copyrightText().
std::string pageEnd(SiteStyle style);
// "版权所有" (GBK): damaged pages are damaged in front of it or inside it.
const std::string& copyrightText();

// GBK text for an attribute value or element content: "&", "<", ">" and '"'
// as entities.
std::string escapeHtml(std::string_view text);

// The longest prefix of a GBK text of at most `maxBytes` that ends on a
// character boundary.
std::string gbkPrefix(std::string_view text, std::size_t maxBytes);

// A page of `bytes` bytes (at least) that carries no marker at all.
std::string hugePage(std::size_t bytes);
// Binary bytes; never "<", ">" or "@", so that not even a stray marker forms.
std::string garbage(std::size_t bytes, std::uint64_t seed);

}  // namespace filler
}  // namespace velmora::demo
