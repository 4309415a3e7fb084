#pragma once
// A render target that draws nothing and logs every call with its geometry,
// colour, opacity and text, for tests to assert exactly. Unlike a real
// target it records calls made outside BeginDraw/EndDraw too.
#include <cstdint>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "dx2d/RenderTarget.h"

namespace NsOvrin::NsDx2d {

enum class DrawOp {
  BeginDraw,
  EndDraw,
  Clear,
  SetTransform,
  FillRectangle,
  DrawRectangle,
  FillRoundedRectangle,
  DrawRoundedRectangle,
  FillEllipse,
  DrawEllipse,
  DrawLine,
  FillGeometry,
  DrawGeometry,
  DrawBitmap,
  DrawText,
  PushAxisAlignedClip,
  PopAxisAlignedClip,
};

const char* DrawOpName(DrawOp op);

struct DrawCall {
  DrawOp op = DrawOp::BeginDraw;
  // Rectangle, rounded rectangle, bitmap destination, text box or clip.
  D2D_RECT_F rect;
  // Rounded-rectangle and ellipse radii.
  float radiusX = 0.0f;
  float radiusY = 0.0f;
  // Ellipse centre in point0; line from point0 to point1.
  D2D_POINT_2F point0;
  D2D_POINT_2F point1;
  // Brush (or clear) colour as 0x00BBGGRR and its alpha; for a bitmap the
  // opacity it is drawn with.
  COLORREF colour = 0;
  float opacity = 0.0f;
  float strokeWidth = 0.0f;
  // Text and the format's settings at the time of the call.
  std::string text;
  std::string fontFamily;
  float fontSize = 0.0f;
  TextAlignment textAlignment = TextAlignment::Leading;
  ParagraphAlignment paragraphAlignment = ParagraphAlignment::Near;
  WordWrapping wordWrapping = WordWrapping::Wrap;
  // The geometry drawn (by identity, to see reuse) and a copy of its figures.
  const PathGeometry* geometry = nullptr;
  FillMode fillMode = FillMode::Alternate;
  std::vector<PathFigure> figures;
  const Bitmap* bitmap = nullptr;
  D2D_SIZE_U bitmapSize;
  BitmapInterpolationMode interpolation = BitmapInterpolationMode::Linear;
  Matrix3x2F transform;

  // One line, e.g. "FillRectangle (0,0,10,10) 0x0000FF@0.5".
  std::string ToString() const;
};

std::ostream& operator<<(std::ostream& out, const DrawCall& call);
// Readable failure messages for the value types.
std::ostream& operator<<(std::ostream& out, const D2D_POINT_2F& point);
std::ostream& operator<<(std::ostream& out, const D2D_SIZE_F& size);
std::ostream& operator<<(std::ostream& out, const D2D_RECT_F& rect);
// One line per call, for failure messages.
std::string FormatDrawCalls(const std::vector<DrawCall>& calls);
// The ToString of every call, for comparing a whole drawing at once.
std::vector<std::string> DescribeDrawCalls(const std::vector<DrawCall>& calls);

class RecordingBitmap : public Bitmap {
 public:
  RecordingBitmap(const void* owner, D2D_SIZE_U size) : owner_(owner), size_(size) {}
  D2D_SIZE_U GetPixelSize() const override { return size_; }
  const void* Owner() const { return owner_; }

 private:
  const void* owner_;
  D2D_SIZE_U size_;
};

class RecordingRenderTarget : public RenderTarget {
 public:
  std::vector<DrawCall> calls;
  // Resources made so far.
  int brushesCreated = 0;
  int bitmapsCreated = 0;
  // Make the next creations fail.
  bool failBrushes = false;
  bool failBitmaps = false;

  // The calls of one kind, in order.
  std::vector<DrawCall> CallsOf(DrawOp op) const;

  void BeginDraw() override;
  // False when clips were left pushed or popped too often since BeginDraw.
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
  DrawCall& Add(DrawOp op);
  DrawCall& AddWithBrush(DrawOp op, const SolidColorBrush& brush);
  DrawCall& AddGeometry(DrawOp op, const PathGeometry& geometry, const SolidColorBrush& brush);

  Matrix3x2F transform_;
  int clipDepth_ = 0;
  bool clipsUnbalanced_ = false;
};

}  // namespace NsOvrin::NsDx2d
