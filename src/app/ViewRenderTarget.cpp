#include "app/ViewRenderTarget.h"

#include <QImage>
#include <cmath>

#include "editor/EditorGlobals.h"

namespace NsOvrin {

using namespace NsDx2d;

namespace {

// What a window target at the system DPI does to every transform.
Matrix3x2F Scaled(const Matrix3x2F& m) {
  const float s = std::isfinite(DpiScale) && DpiScale > 0.0f ? DpiScale : 1.0f;
  return {m.m11 * s, m.m12 * s, m.m21 * s, m.m22 * s, m.dx * s, m.dy * s};
}

}  // namespace

ViewRenderTarget::ViewRenderTarget(QImage* image, std::function<void()> frameDrawn)
    : target_(image), frameDrawn_(std::move(frameDrawn)) {
  target_.SetTransform(Scaled(transform_));
}

void ViewRenderTarget::BeginDraw() { target_.BeginDraw(); }

bool ViewRenderTarget::EndDraw() {
  const bool ended = target_.EndDraw();
  if (frameDrawn_) frameDrawn_();
  return ended;
}

std::unique_ptr<SolidColorBrush> ViewRenderTarget::CreateSolidColorBrush(
    const D2D_COLOR_F& colour) {
  return target_.CreateSolidColorBrush(colour);
}

std::unique_ptr<Bitmap> ViewRenderTarget::CreateBitmap(const DecodedImage& image) {
  return target_.CreateBitmap(image);
}

void ViewRenderTarget::Clear(const D2D_COLOR_F& colour) { target_.Clear(colour); }

void ViewRenderTarget::SetTransform(const Matrix3x2F& transform) {
  transform_ = transform;
  target_.SetTransform(Scaled(transform));
}

void ViewRenderTarget::FillRectangle(const D2D_RECT_F& rect, const SolidColorBrush& brush) {
  target_.FillRectangle(rect, brush);
}

void ViewRenderTarget::DrawRectangle(const D2D_RECT_F& rect, const SolidColorBrush& brush,
                                     float strokeWidth) {
  target_.DrawRectangle(rect, brush, strokeWidth);
}

void ViewRenderTarget::FillRoundedRectangle(const RoundedRect& rect, const SolidColorBrush& brush) {
  target_.FillRoundedRectangle(rect, brush);
}

void ViewRenderTarget::DrawRoundedRectangle(const RoundedRect& rect, const SolidColorBrush& brush,
                                            float strokeWidth) {
  target_.DrawRoundedRectangle(rect, brush, strokeWidth);
}

void ViewRenderTarget::FillEllipse(const Ellipse& ellipse, const SolidColorBrush& brush) {
  target_.FillEllipse(ellipse, brush);
}

void ViewRenderTarget::DrawEllipse(const Ellipse& ellipse, const SolidColorBrush& brush,
                                   float strokeWidth) {
  target_.DrawEllipse(ellipse, brush, strokeWidth);
}

void ViewRenderTarget::DrawLine(D2D_POINT_2F from, D2D_POINT_2F to, const SolidColorBrush& brush,
                                float strokeWidth) {
  target_.DrawLine(from, to, brush, strokeWidth);
}

void ViewRenderTarget::FillGeometry(const PathGeometry& geometry, const SolidColorBrush& brush) {
  target_.FillGeometry(geometry, brush);
}

void ViewRenderTarget::DrawGeometry(const PathGeometry& geometry, const SolidColorBrush& brush,
                                    float strokeWidth) {
  target_.DrawGeometry(geometry, brush, strokeWidth);
}

void ViewRenderTarget::DrawBitmap(const Bitmap& bitmap, const D2D_RECT_F& dest, float opacity,
                                  BitmapInterpolationMode interpolation) {
  target_.DrawBitmap(bitmap, dest, opacity, interpolation);
}

void ViewRenderTarget::DrawText(const std::string& text, const TextFormat& format,
                                const D2D_RECT_F& layoutRect, const SolidColorBrush& brush) {
  target_.DrawText(text, format, layoutRect, brush);
}

void ViewRenderTarget::PushAxisAlignedClip(const D2D_RECT_F& rect) {
  target_.PushAxisAlignedClip(rect);
}

void ViewRenderTarget::PopAxisAlignedClip() { target_.PopAxisAlignedClip(); }

}  // namespace NsOvrin
