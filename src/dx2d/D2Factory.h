#pragma once
// Makes the device-independent resources (path geometries); what it makes
// survives a change of render target.
#include <memory>

#include "dx2d/PathGeometry.h"

namespace NsOvrin::NsDx2d {

class D2Factory {
 public:
  virtual ~D2Factory() = default;

  // Null on failure.
  virtual std::unique_ptr<PathGeometry> CreatePathGeometry();
};

}  // namespace NsOvrin::NsDx2d
