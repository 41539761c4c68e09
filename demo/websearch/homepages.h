#pragma once
// Company homepages for the web-search source: a few dozen small-company
// sites written the way they were (tables for layout, navigation bars,
// scripts, entities, a "联系我们" block in one of several layouts and label
// spellings, copyright footers with year ranges, introductions), each with
// the record the homepage contact extractor takes from it.
#include <string>
#include <string_view>
#include <vector>

#include "sources/framework/record_slot.h"

namespace velmora::demo {

struct DemoHomepage {
    std::string page;     // GBK, as served
    RecordSlot expected;  // the extractor's fields for the lower-cased page (website empty)
};

// The homepages, numbered from 1 (index n - 1).
const std::vector<DemoHomepage>& demoHomepages();

// "/home/<n>/index.htm"
std::string homepagePath(int n);

// The page a homepage path names (served as it is); false for any other path.
bool homepageForPath(std::string_view path, std::string& page);

// Homepage n grown to about `bytes` with navigation and product tables that
// change none of its fields (for measuring the extractor on large pages).
std::string paddedHomepage(int n, size_t bytes);

}  // namespace velmora::demo
