#pragma once
// The program's string table: texts looked up by a numeric id. The
// application installs its table once at start-up; until then every id gives
// the empty text.
#include <cstdint>
#include <string>
#include <unordered_map>

namespace NsOvrin {

// Replaces the installed table.
void SetResourceStrings(std::unordered_map<uint32_t, std::string> table);
// Removes the installed table.
void ClearResourceStrings();
// The text of id; empty when no table is installed or it lacks the id.
std::string LoadResourceString(uint32_t id);

}  // namespace NsOvrin
