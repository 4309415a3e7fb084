#pragma once
// The CSV file of an IO table's rows, in the ANSI code page (read as UTF-8
// when it begins with the UTF-8 byte-order mark): a header line, then one
// "address,description" line per row.
#include <string>
#include <utility>
#include <vector>

namespace NsOvrin {

// The description of an import line that is not "address,description".
inline constexpr const char* kIoTableCsvBadLine = "???";

// An import line: "address,description" gives both (the address made
// canonical); any other line "???" and no address. Each field ends at its
// first NUL byte, as the page file keeps it.
void ParseIoTableCsvLine(const std::string& line, std::string& address, std::string& description);

// The (address, description) rows of every line after the first, in file
// order. False, with no rows, for an empty path, a file that does not open
// and one whose reading fails part-way.
bool ReadIoTableCsv(const std::string& path, std::vector<std::pair<std::string, std::string>>& rows);

}  // namespace NsOvrin
