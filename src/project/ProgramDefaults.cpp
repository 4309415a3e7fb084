#include "project/ProgramDefaults.h"

namespace NsOvrin {

const std::string ProjectFileExtension = ".ql";
const std::string PageFileExtension = ".ovpg";

}  // namespace NsOvrin
