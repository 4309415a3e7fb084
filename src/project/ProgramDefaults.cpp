#include "project/ProgramDefaults.h"

namespace NsOvrin {

const std::string ProjectFileExtension = ".ql";
const std::string PageFileExtension = ".ovpg";

const NsDx2d::Dx2TableTitle DefaultTableTitle{std::string(), 0x1F1D1D, 0xE0E0E0, 120, 32.0f, false};

}  // namespace NsOvrin
