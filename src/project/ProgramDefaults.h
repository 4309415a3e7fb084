#pragma once
// Process-wide constants fixed before the application starts.
#include <string>

#include "dx2d/Dx2Table.h"

namespace NsOvrin {

// Of the project's main file, "main_" followed by it.
extern const std::string ProjectFileExtension;
// Of every page file, the page name followed by it.
extern const std::string PageFileExtension;

// The title bar the IO-table property page shows while no IO table is bound:
// empty, dark text on light grey, 12 pt, 32 high, hidden.
extern const NsDx2d::Dx2TableTitle DefaultTableTitle;

}  // namespace NsOvrin
