#pragma once
// The render target on a Qt paint device: a widget (BeginDraw inside its
// paintEvent) or a QImage. Antialiased; strokes with flat caps and miter
// joins; texts wrap at word boundaries and are not clipped to their box.
// Any QtBitmap can be drawn, whichever Qt target made it.
#include <QPainter>
#include <memory>
#include <string>
#include <vector>

#include "dx2d/RenderTarget.h"

class QPaintDevice;

namespace NsOvrin::NsDx2d {

class QtRenderTarget : public RenderTarget {
 public:
  // The device must outlive the target.
  explicit QtRenderTarget(QPaintDevice* device);
  ~QtRenderTarget() override;

  void BeginDraw() override;
  // False when the painter could not start, or clips were left pushed or
  // popped too often; what was drawn stays drawn.
  bool EndDraw() override;
  std::unique_ptr<SolidColorBrush> CreateSolidColorBrush(const D2D_COLOR_F& colour) override;
  std::unique_ptr<Bitmap> CreateBitmap(const DecodedImage& image) override;
  void Clear(const D2D_COLOR_F& colour) override;
  void SetTransform(const Matrix3x2F& transform) override;
  Matrix3x2F GetTransform() const override { return transform_; }
  void FillRectangle(const D2D_RECT_F& rect, const SolidColorBrush& brush) override;
  void DrawRectangle(const D2D_RECT_F& rect, const SolidColorBrush& brush, float strokeWidth) override;
  void FillRoundedRectangle(const RoundedRect& rect, const SolidColorBrush& brush) override;
  void DrawRoundedRectangle(const RoundedRect& rect, const SolidColorBrush& brush,
                            float strokeWidth) override;
  void FillEllipse(const Ellipse& ellipse, const SolidColorBrush& brush) override;
  void DrawEllipse(const Ellipse& ellipse, const SolidColorBrush& brush, float strokeWidth) override;
  void DrawLine(D2D_POINT_2F from, D2D_POINT_2F to, const SolidColorBrush& brush,
                float strokeWidth) override;
  void FillGeometry(const PathGeometry& geometry, const SolidColorBrush& brush) override;
  void DrawGeometry(const PathGeometry& geometry, const SolidColorBrush& brush,
                    float strokeWidth) override;
  void DrawBitmap(const Bitmap& bitmap, const D2D_RECT_F& dest, float opacity,
                  BitmapInterpolationMode interpolation) override;
  void DrawText(const std::string& text, const TextFormat& format, const D2D_RECT_F& layoutRect,
                const SolidColorBrush& brush) override;
  void PushAxisAlignedClip(const D2D_RECT_F& rect) override;
  void PopAxisAlignedClip() override;

 private:
  bool Active() const { return painter_.isActive(); }
  void ApplyClip();
  void FillPath(const QPainterPath& path, const SolidColorBrush& brush);
  void StrokePath(const QPainterPath& path, const SolidColorBrush& brush, float strokeWidth);

  QPaintDevice* device_;
  QPainter painter_;
  Matrix3x2F transform_;
  // Device coordinates, each within the one before.
  std::vector<QRectF> clips_;
  bool clipsUnbalanced_ = false;
};

}  // namespace NsOvrin::NsDx2d
