#pragma once
// The project's page names. The project object keeps its list here, below
// the element bindings and the command language, whose page-name checks
// read it. User interface thread only.
#include <string>
#include <vector>

namespace NsOvrin {

// Process-wide, in project order, compared exactly; empty at start.
std::vector<std::string>& GetPageNameList();

}  // namespace NsOvrin
