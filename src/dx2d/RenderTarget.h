#pragma once
// A surface to draw on. Drawing happens between BeginDraw and EndDraw; a
// draw call outside that pair does nothing. Stroked shapes are centred on
// their outline, with flat caps and miter joins. Texts wrap at word
// boundaries as their format says and are not clipped to their box.
#include <memory>
#include <string>

#include "dx2d/Bitmap.h"
#include "dx2d/D2Types.h"
#include "dx2d/PathGeometry.h"
#include "dx2d/SolidColorBrush.h"
#include "dx2d/TextFormat.h"

namespace NsOvrin::NsDx2d {

class RenderTarget {
 public:
  RenderTarget() = default;
  RenderTarget(const RenderTarget&) = delete;
  RenderTarget& operator=(const RenderTarget&) = delete;
  virtual ~RenderTarget() = default;

  virtual void BeginDraw() = 0;
  // False when the frame failed; the owner then makes a new target.
  virtual bool EndDraw() = 0;

  // Null on failure.
  virtual std::unique_ptr<SolidColorBrush> CreateSolidColorBrush(const D2D_COLOR_F& colour) = 0;
  // Null on failure (an empty picture included).
  virtual std::unique_ptr<Bitmap> CreateBitmap(const DecodedImage& image) = 0;

  // Fills the whole target (within the current clip), ignoring the transform.
  virtual void Clear(const D2D_COLOR_F& colour) = 0;
  virtual void SetTransform(const Matrix3x2F& transform) = 0;
  virtual Matrix3x2F GetTransform() const = 0;

  virtual void FillRectangle(const D2D_RECT_F& rect, const SolidColorBrush& brush) = 0;
  virtual void DrawRectangle(const D2D_RECT_F& rect, const SolidColorBrush& brush,
                             float strokeWidth = 1.0f) = 0;
  virtual void FillRoundedRectangle(const RoundedRect& rect, const SolidColorBrush& brush) = 0;
  virtual void DrawRoundedRectangle(const RoundedRect& rect, const SolidColorBrush& brush,
                                    float strokeWidth = 1.0f) = 0;
  virtual void FillEllipse(const Ellipse& ellipse, const SolidColorBrush& brush) = 0;
  virtual void DrawEllipse(const Ellipse& ellipse, const SolidColorBrush& brush,
                           float strokeWidth = 1.0f) = 0;
  virtual void DrawLine(D2D_POINT_2F from, D2D_POINT_2F to, const SolidColorBrush& brush,
                        float strokeWidth = 1.0f) = 0;
  // Hollow figures take no part in a fill.
  virtual void FillGeometry(const PathGeometry& geometry, const SolidColorBrush& brush) = 0;
  virtual void DrawGeometry(const PathGeometry& geometry, const SolidColorBrush& brush,
                            float strokeWidth = 1.0f) = 0;
  // The whole bitmap stretched into dest. A target draws only bitmaps of
  // its own kind (the recording target only its own); the caches make sure
  // a bitmap is drawn on the target that made it.
  virtual void DrawBitmap(const Bitmap& bitmap, const D2D_RECT_F& dest, float opacity,
                          BitmapInterpolationMode interpolation) = 0;
  // The text (UTF-8) laid out in the box with the format's alignments.
  virtual void DrawText(const std::string& text, const TextFormat& format,
                        const D2D_RECT_F& layoutRect, const SolidColorBrush& brush) = 0;

  // The rectangle is taken through the transform in force when it is pushed
  // and stays put when the transform changes later. Clips nest.
  virtual void PushAxisAlignedClip(const D2D_RECT_F& rect) = 0;
  virtual void PopAxisAlignedClip() = 0;
};

}  // namespace NsOvrin::NsDx2d
