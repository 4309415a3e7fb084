#pragma once
// The render target of a page view. Qt lets a widget be painted only inside
// its paint event, while the canvas draws whenever an edit asks for it, so
// the view keeps its client area in an image: this target draws into that
// image and tells the view after every frame, which then shows the image on
// its next paint. Like a window target at the system DPI, it maps page units
// to client pixels through DpiScale on top of the canvas's transform.
#include <functional>
#include <memory>
#include <string>

#include "dx2d/RenderTarget.h"
#include "dx2d/qt/QtRenderTarget.h"

class QImage;

namespace NsOvrin {

class ViewRenderTarget : public NsDx2d::RenderTarget {
 public:
  // The image must outlive the target; frameDrawn runs after every EndDraw.
  ViewRenderTarget(QImage* image, std::function<void()> frameDrawn);

  void BeginDraw() override;
  bool EndDraw() override;
  std::unique_ptr<NsDx2d::SolidColorBrush> CreateSolidColorBrush(
      const NsDx2d::D2D_COLOR_F& colour) override;
  std::unique_ptr<NsDx2d::Bitmap> CreateBitmap(const NsDx2d::DecodedImage& image) override;
  void Clear(const NsDx2d::D2D_COLOR_F& colour) override;
  void SetTransform(const NsDx2d::Matrix3x2F& transform) override;
  NsDx2d::Matrix3x2F GetTransform() const override { return transform_; }
  void FillRectangle(const NsDx2d::D2D_RECT_F& rect, const NsDx2d::SolidColorBrush& brush) override;
  void DrawRectangle(const NsDx2d::D2D_RECT_F& rect, const NsDx2d::SolidColorBrush& brush,
                     float strokeWidth) override;
  void FillRoundedRectangle(const NsDx2d::RoundedRect& rect,
                            const NsDx2d::SolidColorBrush& brush) override;
  void DrawRoundedRectangle(const NsDx2d::RoundedRect& rect, const NsDx2d::SolidColorBrush& brush,
                            float strokeWidth) override;
  void FillEllipse(const NsDx2d::Ellipse& ellipse, const NsDx2d::SolidColorBrush& brush) override;
  void DrawEllipse(const NsDx2d::Ellipse& ellipse, const NsDx2d::SolidColorBrush& brush,
                   float strokeWidth) override;
  void DrawLine(NsDx2d::D2D_POINT_2F from, NsDx2d::D2D_POINT_2F to,
                const NsDx2d::SolidColorBrush& brush, float strokeWidth) override;
  void FillGeometry(const NsDx2d::PathGeometry& geometry,
                    const NsDx2d::SolidColorBrush& brush) override;
  void DrawGeometry(const NsDx2d::PathGeometry& geometry, const NsDx2d::SolidColorBrush& brush,
                    float strokeWidth) override;
  void DrawBitmap(const NsDx2d::Bitmap& bitmap, const NsDx2d::D2D_RECT_F& dest, float opacity,
                  NsDx2d::BitmapInterpolationMode interpolation) override;
  void DrawText(const std::string& text, const NsDx2d::TextFormat& format,
                const NsDx2d::D2D_RECT_F& layoutRect,
                const NsDx2d::SolidColorBrush& brush) override;
  void PushAxisAlignedClip(const NsDx2d::D2D_RECT_F& rect) override;
  void PopAxisAlignedClip() override;

 private:
  NsDx2d::QtRenderTarget target_;
  std::function<void()> frameDrawn_;
  NsDx2d::Matrix3x2F transform_;
};

}  // namespace NsOvrin
