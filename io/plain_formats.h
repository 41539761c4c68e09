#pragma once
// Output formats of the command-line program for other tools: JSON lines and
// CSV, both UTF-8. Written to a temporary file and renamed when complete.
#include <string>
#include <string_view>

#include "app/engine/company_list.h"

namespace velmora::io {

// One JSON object per entry, keys id, name, phone, contact, manager, address,
// postcode, email, website, fax, profile (profile always filled).
bool exportJsonLines(const CompanyList& list, const std::string& path, std::string& error);

// A byte-order mark, a header row of the column captions, RFC 4180 quoting.
// A cell a spreadsheet would run as a formula gets a leading apostrophe
// (csvFormulaRisk), so a hostile page cannot plant one in the user's sheet.
bool exportCsv(const CompanyList& list, const std::string& path, std::string& error);

// True for a cell that starts with "=", "@", a tab or a carriage return, or
// with "+" or "-" followed by anything but a digit. A "+" or "-" and a digit
// ("+86 571 8888 8888", "-5") is a number or a telephone number, unless the
// cell also carries what only a formula has ("|", "!", "=", or a name followed
// by "(").
bool csvFormulaRisk(std::string_view cell);

}  // namespace velmora::io
