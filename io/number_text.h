#pragma once
// Numbers read from a workbook as the text a spreadsheet shows for them in
// its general format: 15 significant digits, no trailing zeros, so that
// 310000 reads "310000" and not "310000.0"; very large and very small values
// in the exponent form "1E+20".
#include <string>
#include <string_view>

namespace velmora::io {

std::string numberText(double value);

// The text of a stored number ("3.1E5" gives "310000"); anything that is not
// a plain number comes back as it is.
std::string numberText(std::string_view stored);

}  // namespace velmora::io
