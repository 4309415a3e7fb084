#pragma once
// Process-wide constants fixed before the application starts.
#include <string>

namespace NsOvrin {

// Of the project's main file, "main_" followed by it.
extern const std::string ProjectFileExtension;
// Of every page file, the page name followed by it.
extern const std::string PageFileExtension;

}  // namespace NsOvrin
