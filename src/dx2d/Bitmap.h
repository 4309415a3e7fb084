#pragma once
// A picture a render target can draw, and the decoded pixels it is made from.
#include <cstdint>
#include <vector>

#include "dx2d/D2Types.h"

namespace NsOvrin::NsDx2d {

// Frame 0 of a decoded picture: width x height pixels, row by row, each a
// premultiplied 0xAARRGGBB value.
struct DecodedImage {
  uint32_t width = 0;
  uint32_t height = 0;
  std::vector<uint32_t> pixels;
};

class Bitmap {
 public:
  virtual ~Bitmap() = default;
  virtual D2D_SIZE_U GetPixelSize() const = 0;
};

}  // namespace NsOvrin::NsDx2d
