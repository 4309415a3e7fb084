#pragma once
// Plain value types of the drawing layer: points, sizes, rectangles,
// colours and the 2-D transform. Page coordinates are device-independent
// pixels (DIPs), y growing downwards.
#include <cstdint>

namespace NsOvrin::NsDx2d {

// 0x00BBGGRR.
using COLORREF = uint32_t;

struct D2D_POINT_2F {
  float x = 0.0f;
  float y = 0.0f;
  bool operator==(const D2D_POINT_2F&) const = default;
};

struct D2D_SIZE_F {
  float width = 0.0f;
  float height = 0.0f;
  bool operator==(const D2D_SIZE_F&) const = default;
};

struct D2D_SIZE_U {
  uint32_t width = 0;
  uint32_t height = 0;
  bool operator==(const D2D_SIZE_U&) const = default;
};

// Left, top, right, bottom.
struct D2D_RECT_F {
  float left = 0.0f;
  float top = 0.0f;
  float right = 0.0f;
  float bottom = 0.0f;
  bool operator==(const D2D_RECT_F&) const = default;
};

// Straight (not premultiplied) colour, each channel 0..1; a is the opacity.
struct D2D_COLOR_F {
  float r = 0.0f;
  float g = 0.0f;
  float b = 0.0f;
  float a = 1.0f;
  bool operator==(const D2D_COLOR_F&) const = default;
};

// Red from the low byte, green from the next, blue from the third; the
// opacity becomes the alpha.
constexpr D2D_COLOR_F ColorFromRef(COLORREF colour, float opacity) {
  return D2D_COLOR_F{static_cast<float>(colour & 0xFF) / 255.0f,
                     static_cast<float>((colour >> 8) & 0xFF) / 255.0f,
                     static_cast<float>((colour >> 16) & 0xFF) / 255.0f, opacity};
}

// Back to 0x00BBGGRR, each channel rounded to the nearest of 0..255.
COLORREF ColorToRef(const D2D_COLOR_F& colour);

struct Ellipse {
  D2D_POINT_2F point;  // centre
  float radiusX = 0.0f;
  float radiusY = 0.0f;
  bool operator==(const Ellipse&) const = default;
};

struct RoundedRect {
  D2D_RECT_F rect;
  float radiusX = 0.0f;
  float radiusY = 0.0f;
  bool operator==(const RoundedRect&) const = default;
};

// Row-vector affine transform: x' = x*m11 + y*m21 + dx, y' = x*m12 + y*m22 + dy.
struct Matrix3x2F {
  float m11 = 1.0f, m12 = 0.0f;
  float m21 = 0.0f, m22 = 1.0f;
  float dx = 0.0f, dy = 0.0f;

  static constexpr Matrix3x2F Identity() { return {}; }
  static constexpr Matrix3x2F Translation(float x, float y) { return {1.0f, 0.0f, 0.0f, 1.0f, x, y}; }
  static constexpr Matrix3x2F Scale(float sx, float sy) { return {sx, 0.0f, 0.0f, sy, 0.0f, 0.0f}; }

  bool operator==(const Matrix3x2F&) const = default;
};

enum class BitmapInterpolationMode { NearestNeighbor, Linear };

}  // namespace NsOvrin::NsDx2d
