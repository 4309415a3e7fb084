#pragma once
// Decodes pictures from files and from the program's own resources.
// Process-wide: the drawing backend installs one at start-up and it lives
// until exit; the core asks for it by Instance() and never knows which
// decoder stands behind it.
#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "dx2d/Bitmap.h"

namespace NsOvrin::NsDx2d {

class ImagingFactory {
 public:
  virtual ~ImagingFactory() = default;

  // Frame 0 of the picture file; nullopt when it cannot be read or decoded.
  virtual std::optional<DecodedImage> DecodeFile(const std::string& path) = 0;
  // The resource of that id and type (e.g. 357, "PNG"); nullopt when the
  // program has no such resource or it cannot be decoded.
  virtual std::optional<DecodedImage> DecodeResource(uint32_t id, const std::string& type) = 0;

  // Null until a backend installed one.
  static std::shared_ptr<ImagingFactory> Instance();
  static void SetInstance(std::shared_ptr<ImagingFactory> factory);
};

}  // namespace NsOvrin::NsDx2d
