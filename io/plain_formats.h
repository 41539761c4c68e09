#pragma once
// Output formats of the command-line program for other tools: JSON lines and
// CSV, both UTF-8. Written to a temporary file and renamed when complete.
#include <string>

#include "app/engine/company_list.h"

namespace velmora::io {

// One JSON object per entry, keys id, name, phone, contact, manager, address,
// postcode, email, website, fax, profile (profile always filled).
bool exportJsonLines(const CompanyList& list, const std::string& path, std::string& error);

// A byte-order mark, a header row of the column captions, RFC 4180 quoting.
bool exportCsv(const CompanyList& list, const std::string& path, std::string& error);

}  // namespace velmora::io
