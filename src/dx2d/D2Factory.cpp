#include "dx2d/D2Factory.h"

namespace NsOvrin::NsDx2d {

std::unique_ptr<PathGeometry> D2Factory::CreatePathGeometry() { return std::make_unique<PathGeometry>(); }

}  // namespace NsOvrin::NsDx2d
